// The settings file: where it lives, what it keeps, and what it does with bad
// input. A file that cannot be read is never written over; setting it aside
// keeps it beside a fresh file that holds every value that could be read.
#include "fakes/Fakes.h"
#include "fakes/Fifo.h"
#include "fakes/Files.h"
#include "platform/qt/SettingsDefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

class SettingsDefaultsTest : public QObject {
    Q_OBJECT
private slots:
    // Saved through the user's file under XDG_CONFIG_HOME, and read back as saved.
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("commas, quotes, spaces, unicode")
            << QStringList{"/x/a, b.desktop", "/x/\"q\".desktop", "/x/Zeichen äöü.desktop"};
        QTest::newRow("looks like a type") << QStringList{"@Variant(x)", "@Invalid()"};
    }
    void roundTrip()
    {
        QFETCH(QStringList, paths);
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
        QVERIFY(SettingsDefaults().setStringList(defaultsKeys::trackedAppPaths, paths));
        qunsetenv("XDG_CONFIG_HOME");
        const QString file = dir.filePath("Nudgewatch/Nudgewatch.conf");
        QCOMPARE(SettingsDefaults(file).stringList(defaultsKeys::trackedAppPaths), paths);
    }

    // What could be read is used; what could not is left as the user saved it,
    // and a start that changes no value leaves the file's bytes alone.
    void storeKeepsWhatItCanReadOfBadValues_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<bool>("untouched");
        QTest::newRow("nan") << QByteArray("[General]\nNudgewatch.idleThreshold=nan\n") << 60.0
                             << false;
        QTest::newRow("paths with non-strings")
            << QByteArray("[General]\nNudgewatch.trackedAppPaths=@Rect(1 2 3 4)\n"
                          "Nudgewatch.idleThreshold=45\n")
            << 45.0 << true;
        QTest::newRow("comment kept")
            << QByteArray("; my note\n[General]\nNudgewatch.idleThreshold=45\n") << 45.0 << true;
    }
    void storeKeepsWhatItCanReadOfBadValues()
    {
        QFETCH(QByteArray, content);
        QFETCH(double, threshold);
        QFETCH(bool, untouched);
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        QVERIFY(writeFile(file, content));
        StoreFixture f;
        SettingsDefaults defaults(file);
        const auto store = f.makeStore(&defaults);
        QCOMPARE(store->idleThresholdSeconds(), threshold);
        QVERIFY(store->trackedApps().empty());
        QCOMPARE(readFile(file) == content, untouched);
        QCOMPARE(SettingsDefaults(file).doubleValue(defaultsKeys::idleThreshold), threshold);
    }

    void unwritableLocationReportsFailure_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("parent is a file") << "blocker/Nudgewatch.conf";
        QTest::newRow("file is a directory") << "dir.conf";
    }
    void unwritableLocationReportsFailure()
    {
        QFETCH(QString, relativePath);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("blocker"), "not a directory"));
        QVERIFY(QDir(dir.path()).mkdir("dir.conf"));
        SettingsDefaults defaults(dir.filePath(relativePath));
        QVERIFY(!defaults.setDouble(defaultsKeys::idleThreshold, 45));
        QCOMPARE(defaults.doubleValue(defaultsKeys::idleThreshold), 0.0); // not kept as saved
    }

    void damagedFileIsSetAside_data()
    {
        // QSettings would block on a FIFO before the window ever appears: what is
        // no regular file ("FIFO", "link to a FIFO") is damaged unopened, and set
        // aside by a rename.
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("earlierCopies"); // already beside the file
        QTest::addColumn<QString>("keptAs");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("freshPaths"); // what the fresh file lists
        const auto row = [](const char *tag, const QByteArray &content, const char *keptAs,
                            const char *reason, const QStringList &fresh = {"/a.desktop"},
                            const QStringList &earlier = {}) {
            QTest::newRow(tag) << content << earlier << QString(keptAs) << QString(reason) << fresh;
        };
        const QByteArray paths = "Nudgewatch.trackedAppPaths=";
        const char *notUtf8 = "line 2 holds bytes that are not UTF-8";
        row("open section", "[General\n" + paths + "/a.desktop\n", ".damaged",
            "line 1 opens a section");
        row("earlier copies are kept", "[General\n" + paths + "/a.desktop\n", ".damaged.3", "",
            {"/a.desktop"}, {".damaged", ".damaged.2"});
        row("sound file", "[General]\n" + paths + "/a.desktop\n", "", "");
        row("byte-order mark", "\xEF\xBB\xBF[General]\n" + paths + "/a.desktop\n", ".damaged",
            "byte-order mark");
        row("# comment", "[General]\n\n  # mine\n" + paths + "/a.desktop\n", ".damaged",
            "line 3 is a comment starting with \u201c#\u201d; comments in this file start "
            "with \u201c;\u201d");
        // Saved again, the path would be another one: it lives on in the copy only.
        row("not UTF-8", "[General]\n" + paths + "/\xFF.desktop\n", ".damaged", notUtf8, {});
        row("one path not UTF-8 among valid ones",
            "[General]\n" + paths + "/a.desktop, /\xFF.desktop, /b.desktop, /c\xC3\xA9.desktop\n",
            ".damaged", notUtf8, {"/a.desktop", "/b.desktop", "/c\u00e9.desktop"});
        row("valid paths after a misread threshold",
            "[General]\nNudgewatch.idleThreshold=4\xFF\n" + paths + "/a.desktop, /b.desktop\n",
            ".damaged", notUtf8, {"/a.desktop", "/b.desktop"});
        row("FIFO", "FIFO", ".damaged", "not a regular file", {});
        row("link to a FIFO", "link to a FIFO", ".damaged", "not a regular file", {});
    }
    void damagedFileIsSetAside()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, earlierCopies);
        QFETCH(QString, keptAs);
        QFETCH(QString, reason);
        QFETCH(QStringList, freshPaths);
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        std::optional<Fifo> fifo;
        if (content.contains("FIFO"))
            QVERIFY(fifo.emplace(content.startsWith("link") ? dir.filePath("fifo") : file).made() &&
                    (!content.startsWith("link") || QFile::link(dir.filePath("fifo"), file)));
        else
            QVERIFY(writeFile(file, content));
        for (const QString &suffix : earlierCopies)
            QVERIFY(writeFile(file + suffix, suffix.toUtf8()));

        SettingsDefaults defaults(file);
        QCOMPARE(defaults.isDamaged(), !keptAs.isEmpty());
        if (keptAs.isEmpty()) {
            QCOMPARE(defaults.setAsideDamaged(), QString());
            QVERIFY(!QFile::exists(file + ".damaged"));
            return;
        }
        QVERIFY(defaults.damageReason().contains(reason));
        QVERIFY(!defaults.setDouble(defaultsKeys::idleThreshold, 90));
        QVERIFY(fifo || readFile(file) == content); // never written over

        QCOMPARE(defaults.setAsideDamaged(), file + keptAs);
        QVERIFY(fifo || readFile(file + keptAs) == content);
        for (const QString &suffix : earlierCopies)
            QCOMPARE(readFile(file + suffix), suffix.toUtf8());
        // What could be read lives on in the fresh file, which takes writes again.
        QVERIFY(defaults.setDouble(defaultsKeys::idleThreshold, 90));
        SettingsDefaults reread(file);
        QVERIFY(!reread.isDamaged());
        QCOMPARE(reread.stringList(defaultsKeys::trackedAppPaths).value_or(QStringList{}),
                 freshPaths);
        QCOMPARE(reread.doubleValue(defaultsKeys::idleThreshold), 90.0);
        QVERIFY(!fifo || !fifo->released());
    }
};

QTEST_GUILESS_MAIN(SettingsDefaultsTest)
#include "platform_settings_defaults_test.moc"
