// Windows of real applications, as Debian ships them, resolved to their own
// entries: every row of the measured corpus (tests/fixtures/corpus), main
// windows, dialogs and second windows, X11 and native Wayland, and Xfce's
// "the preferred" launchers over the same entries. GIO reads its folders once
// per process: a run reads the release NUDGEWATCH_CORPUS_RELEASE names.
#include "fakes/Files.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/InstalledEntries.h"
#include "platform/freedesktop/WindowResolver.h"
#include "platform/wlroots/ForeignToplevelTracker.h"
#include "platform/xfce/XfcePreferredApplications.h"

#include <QtTest>

using namespace nudgewatch;

namespace {

const QString corpus = QStringLiteral(NUDGEWATCH_FIXTURES "/corpus");
const QString releaseName = qEnvironmentVariable("NUDGEWATCH_CORPUS_RELEASE", "bookworm");
// The release's folders, and where their copies lie as GIO reads them.
const QStringList entryFolders = {"user-applications", "applications",
                                  "flatpak/exports/share/applications"};
const QStringList copyFolders = {"home", "system", "flatpak"};

QList<QStringList> table(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> rows;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (!line.isEmpty())
            rows.append(QString::fromUtf8(line).split(QLatin1Char('\t')));
    return rows;
}

// One release's entries as the measuring machine saw them, read by GIO from a
// copy where every program they name is installed (a stub on PATH, by its
// file name); the programs each runs are the paths found there, not on the
// machine running the test.
struct Release {
    QTemporaryDir copy;
    std::vector<DesktopEntry> entries;
    QHash<QString, QString> alternatives;
    DesktopEntryIndex index;

    explicit Release(const QString &folder)
    {
        QDir().mkpath(copy.filePath("bin"));
        for (qsizetype i = 0; i < entryFolders.size(); ++i)
            copyEntries(folder + '/' + entryFolders[i],
                        copy.filePath(copyFolders[i]) + "/applications");
        fakes::useDesktopEntries(copy.filePath("home"),
                                 {copy.filePath("system"), copy.filePath("flatpak")});
        qputenv("PATH", QFile::encodeName(copy.filePath("bin")) + ':' + qgetenv("PATH"));
        entries = installedDesktopEntries();
        QHash<QString, QStringList> programs;
        for (const QStringList &row : table(folder + "/programs.tsv")) {
            if (row.value(0).startsWith("alternative:"))
                alternatives.insert(row[0].mid(12), row.value(1));
            else
                programs.insert(row[0], row.value(1).split(':', Qt::SkipEmptyParts));
        }
        for (DesktopEntry &entry : entries)
            entry.programs = programs.value(entry.desktopId);
        index = DesktopEntryIndex(entries);
    }

    void copyEntries(const QString &from, const QString &to)
    {
        QDirIterator it(from, {"*.desktop"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QByteArrayList lines = fakes::readFile(it.next()).split('\n');
            for (QByteArray &line : lines) {
                const qsizetype at = line.indexOf('=') + 1;
                const QByteArray program = line.mid(at).split(' ').first();
                if ((line.startsWith("Exec=") || line.startsWith("TryExec=")) &&
                    !program.isEmpty()) {
                    const QString name = QFileInfo(program).fileName();
                    QFile::link("/bin/true", copy.filePath("bin/" + name));
                    line.replace(at, program.size(), name.toUtf8());
                }
            }
            QVERIFY(fakes::writeFile(to + '/' + QDir(from).relativeFilePath(it.filePath()),
                                     lines.join('\n')));
        }
    }

    // A path the measuring machine recorded, as GIO's copy.
    QString localPath(const QString &measured) const
    {
        const qsizetype at = measured.lastIndexOf("/applications/");
        for (const QString &name : copyFolders) {
            const QString path = copy.filePath(name) + measured.mid(at);
            if (at >= 0 && QFileInfo::exists(path))
                return path;
        }
        return measured;
    }
};

QString entryId(const RunningApplication &application, const DesktopEntryIndex &index)
{
    if (!application.bundlePath)
        return QStringLiteral("-");
    const DesktopEntry *entry = index.byPath(*application.bundlePath);
    return entry ? entry->desktopId : *application.bundlePath;
}

} // namespace

class CorpusTest : public QObject {
    Q_OBJECT
private:
    std::map<QString, std::unique_ptr<Release>> m_releases;

    Release &release(const QString &name)
    {
        auto &release = m_releases[name];
        if (!release)
            release = std::make_unique<Release>(corpus + '/' + name);
        return *release;
    }

private slots:
    void initTestCase() { qputenv("XDG_CURRENT_DESKTOP", "XFCE"); }

    void windowsResolveToTheirOwnEntry_data()
    {
        QTest::addColumn<QString>("release");
        QTest::addColumn<QList<WindowFacts>>("chain");
        QTest::addColumn<QString>("appId"); // native Wayland rows: the app id alone
        QTest::addColumn<QString>("expected");
        int windows = 0;
        for (const QString &name : {releaseName}) {
            const QString folder = corpus + '/' + name;
            const QList<QStringList> rows = table(folder + "/windows.tsv");
            if (rows.isEmpty())
                continue;
            const QStringList header = rows.first();
            QHash<QString, QStringList> byId;
            for (const QStringList &row : rows.mid(1))
                byId.insert(row.value(0), row);
            const auto cell = [&](const QStringList &row, const char *column) {
                return row.value(header.indexOf(QLatin1String(column)));
            };
            for (const QStringList &row : rows.mid(1)) {
                QList<WindowFacts> chain;
                for (QStringList window = row; !window.isEmpty() && chain.size() < 8;
                     window = byId.value(cell(window, "parent"))) {
                    const QString launched = cell(window, "launched_desktop_file");
                    chain.append(
                        {cell(window, "wm_instance"), cell(window, "wm_class"),
                         cell(window, "gtk_application_id"), cell(window, "kde_desktop_file"),
                         cell(window, "executable"),
                         launched.isEmpty() ? launched : release(name).localPath(launched)});
                }
                const QString tag = name + '/' + cell(row, "id");
                QTest::newRow(qPrintable(tag))
                    << name << chain << QString() << cell(row, "expected");
                if (const QString appId = cell(row, "wayland_app_id"); !appId.isEmpty())
                    QTest::newRow(qPrintable(tag + " on Wayland"))
                        << name << QList<WindowFacts>() << appId << cell(row, "expected");
                ++windows;
            }
        }
        QVERIFY2(windows >= 20, "the release holds fewer windows than measured");
    }
    void windowsResolveToTheirOwnEntry()
    {
        QFETCH(QString, release);
        QFETCH(QList<WindowFacts>, chain);
        QFETCH(QString, appId);
        QFETCH(QString, expected);
        // Measured windows the rules do not tell apart yet; kept in the table so
        // that a rule that mends one shows here as an unexpected pass.
        static const QHash<QString, QString> notYet = {
            {"bookworm/xfce4-terminal-settings-main",
             "the settings window is the terminal's own process and class"},
            {"bookworm/gnome-terminal-dialog", "its class names the hidden preferences entry"},
            {"bookworm/gnome-terminal-main on Wayland", "its app id names the server program"},
            {"bookworm/lo-base-main", "Base's window names no component"},
            {"bookworm/flatpak-flatterm-main", "a sandboxed xterm: no process to tell it by"}};
        if (const QString why = notYet.value(QTest::currentDataTag()); !why.isEmpty())
            QEXPECT_FAIL("", qPrintable(why), Continue);
        const DesktopEntryIndex &index = this->release(release).index;
        const RunningApplication application = appId.isEmpty()
                                                   ? resolveRunningApplication(index, chain)
                                                   : toplevelApplication(index, appId);
        QCOMPARE(entryId(application, index), expected);
    }

    // Debian's Xfce chooses the terminal through x-terminal-emulator, an
    // alternatives link that may end in a wrapper script: "Terminal Emulator"
    // stands for the terminal it starts, never for that terminal's settings.
    void xfceTerminalStandsForTheTerminal_data()
    {
        QTest::addColumn<QString>("alternative");
        QTest::addColumn<QString>("expected");
        QTest::newRow("xfce4-terminal") << "xfce4-terminal.wrapper"
                                        << "xfce4-terminal.desktop";
        QTest::newRow("GNOME Terminal") << "gnome-terminal.wrapper"
                                        << "org.gnome.Terminal.desktop";
        QTest::newRow("Konsole") << "konsole"
                                 << "org.kde.konsole.desktop";
        QTest::newRow("QTerminal") << "qterminal"
                                   << "qterminal.desktop";
        // xterm's own choice is made by the locale, in a variable: not guessed.
        QTest::newRow("lxterm") << "lxterm"
                                << "";
    }
    void xfceTerminalStandsForTheTerminal()
    {
        QFETCH(QString, alternative);
        QFETCH(QString, expected);
        if (releaseName != "bookworm")
            QSKIP("measured on bookworm's Xfce");
        const QString folder = corpus + "/bookworm";
        Release &bookworm = release("bookworm");
        // Debian's scripts as copied; other programs where the measuring machine had them.
        const auto find = [&](const QString &name) {
            if (QFileInfo::exists(folder + "/bin/" + name))
                return folder + "/bin/" + name;
            for (const DesktopEntry &entry : bookworm.entries)
                for (const QString &path : entry.programs)
                    if (QFileInfo(path).fileName() == name)
                        return path;
            return QString();
        };
        const XfcePreferredApplications xfce(
            {folder + "/xdg"}, {folder}, [&](const QString &command) {
                return find(command == "x-terminal-emulator" ? alternative : command);
            });
        const QString applications = bookworm.copy.filePath("system/applications/");
        const QHash<QString, QString> launcherFor =
            xfce.standIns({applications + "xfce4-terminal-emulator.desktop"}, bookworm.entries);
        QCOMPARE(launcherFor.keys(),
                 expected.isEmpty() ? QStringList() : QStringList{applications + expected});
    }
};

QTEST_GUILESS_MAIN(CorpusTest)
#include "platform_corpus_test.moc"
