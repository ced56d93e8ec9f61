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
// "fs VALUE" (the active window's fullscreen), "out NAME" (its output; "long": overlong), or a
// hostile call: "stranger", "number", "bad-id", "count", "pid", "fs2" (two arguments); or a window
// whose three names are unusable: "overlong", "control", "nameless". The test also takes "raise
// FILE" (the window raised for that entry, by number) and "new kwin" (another process now owns
// KWin's name).
KWinCall callFor(const QString &step)
{
    QStringList w = step.split(QLatin1Char(' '));
    while (w.size() < 5)
        w.append(QStringLiteral("0"));
    const QString kind = w[0], file = w[2] == QLatin1String("-") ? QString() : w[2];
    KWinCall call{kwin,
                  QStringLiteral("org.nudgewatch.KWinFocus"),
                  QStringLiteral("Activated"),
                  {windowId(w[1].toInt()), file, w[3], w[3], w[4]}};
    QVariantList &a = call.arguments;
    if (kind == QLatin1String("out"))
        call.member = QStringLiteral("Output"), a = {w[1] == "long" ? QString(256, 'D') : w[1]};
    else if (kind.startsWith(QLatin1String("fs")))
        call.member = QStringLiteral("Fullscreen"), a = QVariantList(kind == "fs2" ? 2 : 1, w[1]);
    else if (kind == QLatin1String("add"))
        call.member = QStringLiteral("Added");
    else if (kind == QLatin1String("rm"))
        call.member = QStringLiteral("Removed"), a = {a[0]};
    else if (kind == QLatin1String("null"))
        a = {QString(), QString(), QString(), QString(), QStringLiteral("0")};
    else if (kind == QLatin1String("stranger"))
        call.sender = QStringLiteral(":1.99");
    else if (kind == QLatin1String("number"))
        a[4] = 17;
    else if (kind == QLatin1String("bad-id"))
        a[0] = QStringLiteral("'); evil(); ('");
    else if (kind == QLatin1String("count"))
        a.removeLast();
    else if (kind == QLatin1String("pid"))
        a[4] = QStringLiteral("99999999999");
    else if (kind != QLatin1String("act")) // a window with unusable names
        a[1] = a[2] = a[3] = kind == QLatin1String("overlong")  ? QString(256, QLatin1Char('a'))
                             : kind == QLatin1String("control") ? QStringLiteral("x\nterm")
                                                                : QString();
    return call;
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
        const auto row = [](const char *tag, const QString &steps, const QString &announced,
                            const char *front, int refused = 0) {
            QTest::newRow(tag) << steps.split('|') << announced.split('|', Qt::SkipEmptyParts)
                               << QString(front) << refused;
        };
        const QString weston = QStringLiteral("act 1 weston w 10|");
        row("null between switches", weston + "null|act 2 - xterm 11|null|act 1 weston w 10",
            "App weston|xterm|App weston", "App weston");
        row("null alone at the end", weston + "null|settle", "App weston|?", "?");
        row("back after nothing in front", weston + "null|settle|act 1 weston w 10",
            "App weston|?|App weston", "App weston");
        row("repeated activation and two windows of one application",
            weston + "act 1 weston w 10|null|act 3 weston w 12", "App weston", "App weston");
        row("own window", weston + "null|act 4 - nudgewatch 4242", "App weston|Nudgewatch",
            "Nudgewatch");
        row("first report is nothing", "null|settle|act 2 - xterm 11", "?|xterm", "xterm");
        row("fullscreen on and off", weston + "fs 1|fs 0", "App weston|FS on|FS off", "App weston");
        row("the active window's output", weston + "out DP-2|out long", "App weston|on DP-2",
            "App weston", 1);
        row("fullscreen in another shape", weston + "fs true|fs 2|fs2 1|fs 11", "App weston",
            "App weston", 4);
        row("hostile calls change nothing",
            weston + "stranger 2 - xterm 11|number 2 - xterm 11|bad-id 2 - xterm 11|"
                     "count 2 - xterm 11|pid 2 - xterm 11",
            "App weston", "App weston", 5);
        for (const char *kind : {"overlong", "control", "nameless"})
            row(kind, weston + "null|" + kind + " 2 - x 11", "App weston|?", "?");
        // The window raised for an entry is its window used last, never one of the
        // program's own, and none once KWin said it closed or KWin itself changed.
        row("the window to raise",
            "add 1 weston w 10|add 2 weston w 11|add 3 weston w 4242|act 2 weston w 11|"
            "act 1 weston w 10|act 3 weston w 4242|raise weston|rm 1|raise weston|raise xterm|"
            "new kwin|raise weston|add 5 weston w 12",
            "App weston|Nudgewatch|raise 1|raise 2|raise -|raise -", "Nudgewatch", 1);
        row("back from a window without names",
            weston + "null|control 2 - x 11|null|act 1 weston w 10", "App weston|?|App weston",
            "App weston");
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
            if (step.startsWith(QLatin1String("raise "))) {
                const auto window = logic.windowOf("/apps/" + step.mid(6) + ".desktop");
                seen.append("raise " +
                            (window ? QString::number(window->mid(25, 12).toInt()) : "-"));
                continue;
            }
            if (step == QLatin1String("new kwin")) {
                logic.setKWinOwner(QStringLiteral(":1.8"));
                continue;
            }
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
            if (outcome.output)
                seen.append("on " + *outcome.output);
            if (outcome.fullscreen)
                seen.append(*outcome.fullscreen ? QStringLiteral("FS on")
                                                : QStringLiteral("FS off"));
        }
        QCOMPARE(seen, announced);
        QCOMPARE(logic.front() ? nameOf(*logic.front()) : QString(), front);
        QCOMPARE(refusals, refused);
    }
};

QTEST_GUILESS_MAIN(KWinFocusTest)
#include "platform_kwin_focus_test.moc"
