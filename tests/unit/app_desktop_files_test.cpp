// The installed desktop entry and AppStream metainfo pass the desktop's own
// validators and agree with each other and with the icon that is installed.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

class DesktopFilesTest : public QObject {
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(DesktopFilesTest)
#include "app_desktop_files_test.moc"
