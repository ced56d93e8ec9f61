// How the program's process runs: which platform its windows use (Xwayland in a
// Wayland session where it is there, else natively, unless Qt's -platform option
// says otherwise) and when reminders come as desktop notifications instead of the
// card; and termination signals reaching the event loop instead of ending it.
// The installed desktop entry and AppStream metainfo pass the desktop's own
// validators and agree with each other and with the icon that is installed.
#include "app/PlatformChoice.h"
#include "app/TerminationSignals.h"
#include "fakes/Rows.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

using namespace nudgewatch;
using nudgewatch::fakes::fetchRow;

namespace {

// A Wayland session?, an X display?, the arguments: the platform pinned, the one
// the windows run on, reminders as notifications?
using Choice = std::tuple<bool, bool, QStringList, QString, QString, bool>;

bool defaultHandler(int signalNumber)
{
    struct sigaction current = {};
    return sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_DFL;
}

} // namespace

class ProcessTest : public QObject {
    Q_OBJECT
private slots:
    void choice_data()
    {
        QTest::addColumn<Choice>("row");
        // clang-format off
        QTest::newRow("Wayland with Xwayland") << Choice{true, true, {}, "xcb;wayland", "xcb", false};
        QTest::newRow("its DISPLAY gone") << Choice{true, true, {}, "xcb;wayland", "wayland", true};
        QTest::newRow("started at login") << Choice{true, true, {"--autostart"}, "xcb;wayland", "xcb", false};
        QTest::newRow("Wayland without Xwayland") << Choice{true, false, {}, "wayland", "wayland", true};
        QTest::newRow("X11 session") << Choice{false, true, {}, "", "xcb", false};
        QTest::newRow("-platform wayland") << Choice{true, true, {"-platform", "wayland"}, "", "wayland", true};
        QTest::newRow("--platform=offscreen") << Choice{true, true, {"--platform=offscreen"}, "", "offscreen", false};
        QTest::newRow("no such option") << Choice{true, true, {"-platformx"}, "xcb;wayland", "xcb", false};
        // clang-format on
    }
    void choice()
    {
        const auto [wayland, display, arguments, pinned, runsOn, notified] = fetchRow<Choice>();
        const PlatformChoice choice = choosePlatform(wayland, display, arguments);
        QCOMPARE(QString::fromLatin1(choice.pinned), pinned);
        QCOMPARE(!notificationReason(runsOn, choice).isEmpty(), notified);
    }

    // SIGTERM as at logout, SIGINT from Ctrl+C, SIGHUP as the terminal closes;
    // each with another signal that is not raised.
    void signalEndsThroughTheEventLoop()
    {
        for (const auto &[signalNumber, another] :
             {std::pair(SIGTERM, SIGINT), std::pair(SIGINT, SIGHUP), std::pair(SIGHUP, SIGTERM)}) {
            {
                TerminationSignals signals_;
                QVERIFY(signals_.isWatching());
                QSignalSpy received(&signals_, &TerminationSignals::received);
                QCOMPARE(::raise(signalNumber), 0); // still alive: caught
                QVERIFY(received.wait(2000));
                QCOMPARE(received.size(), 1);
                QCOMPARE(received.front().front().toInt(), signalNumber);
                // Caught once: a second one would end the program by default.
                QVERIFY(defaultHandler(signalNumber));
                QVERIFY(!defaultHandler(another));
            }
            QVERIFY(defaultHandler(another)); // the handlers go with the watcher
        }
    }

    void validatorsPassAndTheFilesAgree()
    {
        const QString resources = QStringLiteral(NUDGEWATCH_RESOURCES);
        QFile entry(resources + "/nudgewatch.desktop");
        QFile metainfo(resources + "/org.nudgewatch.nudgewatch.metainfo.xml");
        const QList<QStringList> runs = {
            {"desktop-file-validate", entry.fileName()},
            {"appstreamcli", "validate", "--no-net", "--pedantic", metainfo.fileName()}};
        for (const QStringList &run : runs) {
            if (QStandardPaths::findExecutable(run[0]).isEmpty())
                QFAIL(qPrintable(run[0] + " is missing: run scripts/install-deps"));
            QProcess process;
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(run[0], run.mid(1));
            QVERIFY(process.waitForFinished(30000));
            const QByteArray output = process.readAll();
            QVERIFY2(process.exitCode() == 0, output.constData());
            // desktop-file-validate prints hints it does not fail on; none are expected.
            QVERIFY2(run[0] != "desktop-file-validate" || output.trimmed().isEmpty(),
                     output.constData());
        }
        QVERIFY(entry.open(QIODevice::ReadOnly) && metainfo.open(QIODevice::ReadOnly));
        const QByteArray entryText = entry.readAll(), metainfoText = metainfo.readAll();
        QVERIFY(entryText.contains("\nIcon=nudgewatch\n") &&
                entryText.contains("\nExec=nudgewatch\n"));
        QVERIFY(QFile::exists(resources + "/icons/hicolor/scalable/apps/nudgewatch.svg"));
        QVERIFY(metainfoText.contains(
            "<launchable type=\"desktop-id\">nudgewatch.desktop</launchable>"));
        QVERIFY(metainfoText.contains("<binary>nudgewatch</binary>"));
        // Software centres show these; each screenshot is a file the repository keeps
        // (scripts/screenshots takes them from the program).
        QVERIFY(metainfoText.contains("<url type=\"homepage\">https://"));
        QVERIFY(metainfoText.contains("<developer id="));
        const QByteArray prefix = "/main/resources/screenshots/";
        qsizetype shots = 0;
        for (qsizetype at = metainfoText.indexOf(prefix); at >= 0;
             at = metainfoText.indexOf(prefix, at + 1), ++shots) {
            const qsizetype start = at + prefix.size();
            const QString name = QString::fromUtf8(
                metainfoText.mid(start, metainfoText.indexOf('<', start) - start));
            QVERIFY2(QFile::exists(resources + "/screenshots/" + name), qPrintable(name));
        }
        QCOMPARE(shots, metainfoText.count("<image"));
        QVERIFY(shots >= 2);
    }
};

QTEST_GUILESS_MAIN(ProcessTest)
#include "app_process_test.moc"
