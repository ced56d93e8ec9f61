// What the KWin script's calls mean: recorded sequences of calls (and settle
// timeouts) against the activations announced and the application in front.

#include "platform/kwin/KWinFocusLogic.h"

#include <QCoreApplication>
#include <QTest>

using namespace nudgewatch;

namespace {

const QString kwin = QStringLiteral(":1.7");
constexpr qint64 ownPid = 4242;

QString windowId(int n)
{
    return QStringLiteral("{00000000-0000-0000-0000-%1}").arg(n, 12, 10, QLatin1Char('0'));
}

// "act N FILE CLASS PID", "add N FILE CLASS PID", "rm N", "null", "settle",
// "fs VALUE" (the active window's fullscreen), or a hostile call: "stranger",
// "number", "bad-id", "count", "pid", "fs2" (two arguments); or a window whose
// three names are unusable: "overlong", "control", "nameless".
KWinCall callFor(const QString &step)
{
    QStringList w = step.split(QLatin1Char(' '));
    while (w.size() < 5)
        w.append(QStringLiteral("0"));
    const auto window = [&](const QString &member) {
        const QString file = w.at(2) == QLatin1String("-") ? QString() : w.at(2);
        return KWinCall{kwin,
                        QStringLiteral("org.nudgewatch.KWinFocus"),
                        member,
                        {windowId(w.at(1).toInt()), file, w.at(3), w.at(3), w.at(4)}};
    };
    KWinCall good = window(QStringLiteral("Activated"));
    if (w.at(0).startsWith(QLatin1String("fs")))
        return {kwin, good.interface, QStringLiteral("Fullscreen"),
                w.at(0) == QLatin1String("fs2") ? QVariantList{w.at(1), w.at(1)}
                                                : QVariantList{w.at(1)}};
    if (w.at(0) == QLatin1String("add"))
        return window(QStringLiteral("Added"));
    if (w.at(0) == QLatin1String("rm"))
        return {kwin, good.interface, QStringLiteral("Removed"), {windowId(w.at(1).toInt())}};
    if (w.at(0) == QLatin1String("null"))
        good.arguments = {QString(), QString(), QString(), QString(), QStringLiteral("0")};
    else if (w.at(0) == QLatin1String("stranger"))
        good.sender = QStringLiteral(":1.99");
    else if (w.at(0) == QLatin1String("overlong"))
        good.arguments[1] = good.arguments[2] = good.arguments[3] = QString(256, QLatin1Char('a'));
    else if (w.at(0) == QLatin1String("control"))
        good.arguments[1] = good.arguments[2] = good.arguments[3] = QStringLiteral("x\nterm");
    else if (w.at(0) == QLatin1String("nameless"))
        good.arguments[1] = good.arguments[2] = good.arguments[3] = QString();
    else if (w.at(0) == QLatin1String("number"))
        good.arguments[4] = 17;
    else if (w.at(0) == QLatin1String("bad-id"))
        good.arguments[0] = QStringLiteral("'); evil(); ('");
    else if (w.at(0) == QLatin1String("count"))
        good.arguments.removeLast();
    else if (w.at(0) == QLatin1String("pid"))
        good.arguments[4] = QStringLiteral("99999999999");
    return good;
}

// "?" for an unknown application, "none" for one no tracked entry could follow.
QString nameOf(const RunningApplication &application)
{
    if (!application.localizedName)
        return QStringLiteral("none");
    return application.localizedName->isEmpty() ? QStringLiteral("?") : *application.localizedName;
}

} // namespace

class KWinFocusTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Nudgewatch")); }

    void sequences_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("announced");
        QTest::addColumn<QString>("front"); // empty: nothing in front
        QTest::addColumn<int>("refused");
        const auto steps = [](const char *text) {
            return QString::fromLatin1(text).split('|');
        };
        const auto names = [](const char *text) {
            return QString::fromLatin1(text).split('|', Qt::SkipEmptyParts);
        };
        QTest::newRow("null between switches")
            << steps("act 1 weston w 10|null|act 2 - xterm 11|"
                     "null|act 1 weston w 10")
            << names("App weston|xterm|App weston") << "App weston" << 0;
        QTest::newRow("null alone at the end")
            << steps("act 1 weston w 10|null|settle") << names("App weston|?") << "?" << 0;
        QTest::newRow("back after nothing in front")
            << steps("act 1 weston w 10|null|settle|act 1 weston w 10")
            << names("App weston|?|App weston") << "App weston" << 0;
        QTest::newRow("repeated activation and two windows of one application")
            << steps("act 1 weston w 10|act 1 weston w 10|null|act 3 weston w 12")
            << names("App weston") << "App weston" << 0;
        QTest::newRow("own window") << steps("act 1 weston w 10|null|act 4 - nudgewatch 4242")
                                    << names("App weston|Nudgewatch") << "Nudgewatch" << 0;
        QTest::newRow("first report is nothing")
            << steps("null|settle|act 2 - xterm 11") << names("?|xterm") << "xterm" << 0;
        QTest::newRow("fullscreen on and off")
            << steps("act 1 weston w 10|fs 1|fs 0") << names("App weston|FS on|FS off")
            << "App weston" << 0;
        QTest::newRow("fullscreen in another shape")
            << steps("act 1 weston w 10|fs true|fs 2|fs2 1|fs 11") << names("App weston")
            << "App weston" << 4;
        QTest::newRow("hostile calls change nothing")
            << steps("act 1 weston w 10|stranger 2 - xterm 11|number 2 - xterm 11|"
                     "bad-id 2 - xterm 11|count 2 - xterm 11|pid 2 - xterm 11")
            << names("App weston") << "App weston" << 5;
        for (const char *kind : {"overlong", "control", "nameless"}) {
            QTest::newRow(qPrintable(QStringLiteral("window with %1 names").arg(kind)))
                << steps("act 1 weston w 10|null") + QStringList{kind + QStringLiteral(" 2 - x 11")}
                << names("App weston|?") << "?" << 0;
        }
        QTest::newRow("back from a window without names")
            << steps("act 1 weston w 10|null|control 2 - x 11|null|act 1 weston w 10")
            << names("App weston|?|App weston") << "App weston" << 0;
    }
    void sequences()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, announced);
        QFETCH(QString, front);
        QFETCH(int, refused);
        KWinFocusLogic logic(
            [](const KWinWindow &window) {
                if (window.desktopFileName.isEmpty() && window.resourceClass.isEmpty())
                    return RunningApplication{};
                if (window.desktopFileName.isEmpty())
                    return RunningApplication{window.resourceClass, std::nullopt};
                return RunningApplication{
                    QStringLiteral("App ") + window.desktopFileName,
                    QStringLiteral("/apps/%1.desktop").arg(window.desktopFileName)};
            },
            ownPid);
        logic.setKWinOwner(kwin);
        QStringList seen;
        int refusals = 0;
        bool awaiting = false;
        for (const QString &step : steps) {
            if (step == QLatin1String("settle")) {
                QVERIFY2(awaiting, "a settle without a null before it");
                if (const auto application = logic.settle())
                    seen.append(nameOf(*application));
                continue;
            }
            const KWinFocusLogic::Outcome outcome = logic.handle(callFor(step));
            refusals += outcome.accepted ? 0 : 1;
            awaiting = outcome.awaitingWindow;
            if (outcome.announce)
                seen.append(nameOf(*outcome.announce));
            if (outcome.fullscreen)
                seen.append(*outcome.fullscreen ? QStringLiteral("FS on")
                                                : QStringLiteral("FS off"));
        }
        QCOMPARE(seen, announced);
        QCOMPARE(logic.front() ? nameOf(*logic.front()) : QString(), front);
        QCOMPARE(refusals, refused);
    }

    // The window raised for an entry is its window used last, never one of the
    // program's own, and none once KWin said it closed or KWin itself changed.
    void windowOfEntry()
    {
        KWinFocusLogic logic(
            [](const KWinWindow &window) {
                return RunningApplication{window.resourceClass,
                                          QStringLiteral("/apps/") + window.resourceClass};
            },
            ownPid);
        logic.setKWinOwner(kwin);
        for (const char *step : {"add 1 - term 10", "add 2 - term 11", "add 3 - term 4242",
                                 "act 2 - term 11", "act 1 - term 10", "act 3 - term 4242"})
            QVERIFY(logic.handle(callFor(QString::fromLatin1(step))).accepted);
        QCOMPARE(logic.windowOf(QStringLiteral("/apps/term")), windowId(1));
        QVERIFY(logic.handle(callFor(QStringLiteral("rm 1"))).accepted);
        QCOMPARE(logic.windowOf(QStringLiteral("/apps/term")), windowId(2));
        QCOMPARE(logic.windowOf(QStringLiteral("/apps/other")), std::nullopt);
        logic.setKWinOwner(QStringLiteral(":1.8"));
        QCOMPARE(logic.windowOf(QStringLiteral("/apps/term")), std::nullopt);
        QVERIFY(!logic.handle(callFor(QStringLiteral("add 5 - term 12"))).accepted);
    }
};

QTEST_GUILESS_MAIN(KWinFocusTest)
#include "platform_kwin_focus_test.moc"
