// Start at login: the autostart entry the desktop reads.
// GLib before Qt: its headers use the word "signals".
#include <gio/gdesktopappinfo.h>

#include "platform/freedesktop/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;

namespace {

// The words of the command line GLib (which launches the entry) reads from it.
QStringList commandGlibReads(const QString &entryPath)
{
    g_autoptr(GDesktopAppInfo) info = g_desktop_app_info_new_from_filename(qPrintable(entryPath));
    g_auto(GStrv) argv = nullptr;
    if (!info ||
        !g_shell_parse_argv(g_app_info_get_commandline(G_APP_INFO(info)), nullptr, &argv, nullptr))
        return {};
    QStringList words;
    for (gchar **word = argv; *word; ++word)
        words.append(QString::fromUtf8(*word));
    return words;
}

} // namespace

class AutostartTest : public QObject {
    Q_OBJECT
private slots:
    // Whatever the path, the desktop starts exactly that program, and switching
    // off removes the entry. GLib refuses an entry whose program does not exist,
    // so each one is created.
    void entryStartsTheProgram_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("spaces") << "My Programs/nudgewatch";
        QTest::newRow("shell characters") << "a;b&c|d$(e)`f`'g'\"h\\i\\\\j/nw";
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
        QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::ExeOwner));

        AutostartEntry entry(dir.path() + "/autostart", executable);
        QVERIFY(entry.setEnabled(true));
        QVERIFY(entry.isEnabled());
        QCOMPARE(commandGlibReads(entry.filePath()), QStringList({executable, "--autostart"}));
        if (const QString validate = QStandardPaths::findExecutable("desktop-file-validate");
            !validate.isEmpty())
            QCOMPARE(QProcess::execute(validate, {entry.filePath()}), 0);
        QVERIFY(entry.setEnabled(false));
        QVERIFY(!QFile::exists(entry.filePath()));
        QVERIFY(!entry.isEnabled());
    }

    // GLib's existence check does not undo "%%", so percent signs are checked
    // on the argument alone; a control character cannot be written at all.
    void percentAndControlCharacters()
    {
        QCOMPARE(desktopExecArgument("/opt/100%/nw").value_or(""), QString("/opt/100%%/nw"));
        QTemporaryDir dir;
        AutostartEntry entry(dir.path(), QString("/tmp/a\tb"));
        QVERIFY(!entry.setEnabled(true));
        QVERIFY(!QFile::exists(entry.filePath()));
    }
};

QTEST_GUILESS_MAIN(AutostartTest)
#include "platform_autostart_test.moc"
