// The installed desktop entry and AppStream metainfo pass the desktop's own
// validators and agree with each other and with the icon that is installed.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString resources = QStringLiteral(NUDGEWATCH_RESOURCES);

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class DesktopFilesTest : public QObject {
    Q_OBJECT
private slots:
    void validators_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop entry")
            << "desktop-file-validate" << QStringList{resources + "/nudgewatch.desktop"};
        QTest::newRow("metainfo") << "appstreamcli"
                                  << QStringList{"validate", "--no-net", "--pedantic",
                                                 resources +
                                                     "/org.nudgewatch.nudgewatch.metainfo.xml"};
    }
    void validators()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        if (QStandardPaths::findExecutable(program).isEmpty())
            QFAIL(qPrintable(program + " is missing: run scripts/install-deps"));
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(30000));
        const QByteArray output = process.readAll();
        QVERIFY2(process.exitCode() == 0, output.constData());
        // desktop-file-validate prints hints it does not fail on; none are expected.
        if (program == "desktop-file-validate")
            QVERIFY2(output.trimmed().isEmpty(), output.constData());
    }

    void entryMetainfoAndIconAgree()
    {
        const QString entry = readText(resources + "/nudgewatch.desktop");
        const QString metainfo = readText(resources + "/org.nudgewatch.nudgewatch.metainfo.xml");
        QVERIFY(entry.contains(
            QRegularExpression("^Icon=nudgewatch$", QRegularExpression::MultilineOption)));
        QVERIFY(entry.contains(
            QRegularExpression("^Exec=nudgewatch$", QRegularExpression::MultilineOption)));
        QVERIFY(QFile::exists(resources + "/icons/hicolor/scalable/apps/nudgewatch.svg"));
        QVERIFY(
            metainfo.contains("<launchable type=\"desktop-id\">nudgewatch.desktop</launchable>"));
        QVERIFY(metainfo.contains("<binary>nudgewatch</binary>"));
    }
};

QTEST_GUILESS_MAIN(DesktopFilesTest)
#include "app_desktop_files_test.moc"
