// Windows of tracked entries that lie outside the applications folders (picked
// with "Browse…") resolve to those entries.

#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/freedesktop/WindowResolver.h"

#include <QtTest>

Q_DECLARE_METATYPE(nudgewatch::WindowFacts)

using namespace nudgewatch;

namespace {
const QString fixtures = QStringLiteral(NUDGEWATCH_FIXTURES "/desktop-entries");
const QString elsewhere = fixtures + QStringLiteral("/elsewhere/");
} // namespace

class TrackedEntriesTest : public QObject {
    Q_OBJECT
private slots:
    void resolvesTrackedEntries_data()
    {
        QTest::addColumn<QStringList>("tracked");
        QTest::addColumn<WindowFacts>("window");
        QTest::addColumn<QString>("expected"); // entry path below the fixtures; empty: none
        const QStringList picked{elsewhere + "picked-tool.desktop"};
        const WindowFacts byClass{"pickedtool", "PickedToolWindow", {}, {}, {}};
        QTest::newRow("untracked: unknown") << QStringList{} << byClass << QString();
        QTest::newRow("StartupWMClass") << picked << byClass << "elsewhere/picked-tool.desktop";
        QTest::newRow("file ID") << picked << WindowFacts{"picked-tool", "Picked-tool", {}, {}, {}}
                                 << "elsewhere/picked-tool.desktop";
        QTest::newRow("program")
            << picked
            << WindowFacts{"x", "X", {}, {}, "/nonexistent/nudgewatch-fixture/bin/pickedtool"}
            << "elsewhere/picked-tool.desktop";
        // The user's own copy of an installed entry is the one their windows belong to.
        QTest::newRow("tracked copy before the installed entry")
            << QStringList{elsewhere + "alpha-terminal.desktop"}
            << WindowFacts{"alpha", "AlphaTerm", {}, {}, {}} << "elsewhere/alpha-terminal.desktop";
        QTest::newRow("installed entry tracked: itself")
            << QStringList{fixtures + "/system/applications/alpha-terminal.desktop"}
            << WindowFacts{"alpha", "AlphaTerm", {}, {}, {}}
            << "system/applications/alpha-terminal.desktop";
        QTest::newRow("missing tracked file: folders only")
            << QStringList{elsewhere + "gone.desktop"}
            << WindowFacts{"alpha", "AlphaTerm", {}, {}, {}}
            << "system/applications/alpha-terminal.desktop";
    }
    void resolvesTrackedEntries()
    {
        QFETCH(QStringList, tracked);
        QFETCH(WindowFacts, window);
        QFETCH(QString, expected);
        DesktopEntryRegistry registry({fixtures + "/system/applications"});
        registry.index(); // read before the tracked entries are known, as at start-up
        registry.setTrackedEntries(tracked);
        const DesktopEntry *entry = resolveEntry(registry.index(), window);
        QCOMPARE(entry ? entry->path.mid(fixtures.size() + 1) : QString(), expected);
    }
};

QTEST_GUILESS_MAIN(TrackedEntriesTest)
#include "platform_tracked_entries_test.moc"
