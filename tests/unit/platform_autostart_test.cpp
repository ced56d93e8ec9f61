// Start at login: the autostart entry the desktop reads.
// GLib before Qt: its headers use the word "signals".
#include <gio/gdesktopappinfo.h>

#include "platform/linux/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;

namespace {

// The program a desktop entry file starts, as GLib (which launches it) reads it.
QString executableGlibReads(const QString &entryPath)
{
    GDesktopAppInfo *info = g_desktop_app_info_new_from_filename(qPrintable(entryPath));
    if (!info)
        return {};
    gchar **argv = nullptr;
    gint argc = 0;
    QString result;
    const char *commandline = g_app_info_get_commandline(G_APP_INFO(info));
    if (commandline && g_shell_parse_argv(commandline, &argc, &argv, nullptr) && argc > 0)
        result = QString::fromUtf8(argv[0]);
    g_strfreev(argv);
    g_object_unref(info);
    return result;
}

} // namespace

class AutostartTest : public QObject {
    Q_OBJECT
private slots:
    void execArgument_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected");
        QTest::newRow("space") << "/opt/my apps/nw"
                               << "\"/opt/my apps/nw\"";
        QTest::newRow("percent doubled") << "/opt/100%/nw"
                                         << "/opt/100%%/nw";
        QTest::newRow("dollar and quote") << "/opt/$HOME\"x/nw"
                                          << "\"/opt/\\\\$HOME\\\\\"x/nw\"";
        QTest::newRow("backslash") << "/opt/a\\b"
                                   << "\"/opt/a\\\\\\\\b\"";
        QTest::newRow("control character") << QString("/opt/a\nb") << QString();
    }
    void execArgument()
    {
        QFETCH(QString, argument);
        QFETCH(QString, expected);
        QCOMPARE(desktopExecArgument(argument).value_or(QString()), expected);
    }

    // Whatever the path, the desktop starts exactly that program. GLib refuses
    // an entry whose program does not exist, so each one is created. (GLib's
    // existence check does not undo "%%", so percent signs are only in the table
    // above.)
    void entryStartsTheProgram_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("spaces") << "My Programs/nudgewatch";
        QTest::newRow("shell characters") << "a;b&c|d$(e)`f`'g'\"h\"/nw";
        QTest::newRow("unicode") << QStringLiteral("n\u00e4chste Sch\u00fcbe/nw");
    }
    void entryStartsTheProgram()
    {
        QFETCH(QString, relativePath);
        QTemporaryDir dir;
        const QString executable = dir.path() + "/" + relativePath;
        QVERIFY(QDir().mkpath(QFileInfo(executable).path()));
        QFile program(executable);
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        AutostartEntry entry(dir.path() + "/autostart", executable);
        QVERIFY(entry.setEnabled(true));
        QCOMPARE(executableGlibReads(entry.filePath()), executable);
        if (!QStandardPaths::findExecutable("desktop-file-validate").isEmpty()) {
            QProcess validate;
            validate.start("desktop-file-validate", {entry.filePath()});
            QVERIFY(validate.waitForFinished());
            QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
        }
    }

    void switchedOffEntriesCountAsDisabled_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nExec=nw\nHidden=true\n") << false;
        QTest::newRow("gnome off")
            << QByteArray("[Desktop Entry]\nExec=nw\nX-GNOME-Autostart-enabled=false\n") << false;
        QTest::newRow("hidden in another group")
            << QByteArray("[Desktop Entry]\nExec=nw\n[Desktop Action x]\nHidden=true\n") << true;
    }
    void switchedOffEntriesCountAsDisabled()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, enabled);
        QTemporaryDir dir;
        AutostartEntry entry(dir.path(), "/usr/bin/nudgewatch");
        QFile file(entry.filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        QCOMPARE(entry.isEnabled(), enabled);
    }

    void unrepresentableProgramIsNotWritten()
    {
        QTemporaryDir dir;
        AutostartEntry entry(dir.path(), QString("/tmp/a\tb"));
        QVERIFY(!entry.setEnabled(true));
        QVERIFY(!QFile::exists(entry.filePath()));
    }
};

QTEST_GUILESS_MAIN(AutostartTest)
#include "platform_autostart_test.moc"
