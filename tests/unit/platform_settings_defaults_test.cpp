// The settings file: where it lives, what it keeps, and what it does with bad input.
#include "fakes/Fakes.h"
#include "platform/qt/SettingsDefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class SettingsDefaultsTest : public QObject {
    Q_OBJECT
private slots:
    void userFileLivesUnderTheXdgConfigHome()
    {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
        {
            SettingsDefaults defaults;
            QVERIFY(defaults.setDouble(defaultsKeys::idleThreshold, 75));
        }
        qunsetenv("XDG_CONFIG_HOME");
        const QByteArray content = readFile(dir.filePath("Nudgewatch/Nudgewatch.conf"));
        QVERIFY2(content.contains("Nudgewatch.idleThreshold=75"), content.constData());
    }

    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("commas, quotes, spaces, unicode")
            << QStringList{"/x/a, b.desktop", "/x/\"q\".desktop", "/x/Zeichen äöü.desktop"};
        QTest::newRow("looks like a type") << QStringList{"@Variant(x)", "@Invalid()"};
        QStringList many;
        for (int i = 0; i < 10000; ++i)
            many << QStringLiteral("/apps/app%1.desktop").arg(i);
        QTest::newRow("10,000") << many;
    }
    void roundTrip()
    {
        QFETCH(QStringList, paths);
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        {
            SettingsDefaults defaults(file);
            QVERIFY(defaults.setStringList(defaultsKeys::trackedAppPaths, paths));
            QVERIFY(defaults.setDouble(defaultsKeys::idleThreshold, 45.5));
        }
        SettingsDefaults reread(file); // a new process reading the file
        QCOMPARE(reread.stringList(defaultsKeys::trackedAppPaths), paths);
        QCOMPARE(reread.doubleValue(defaultsKeys::idleThreshold), 45.5);
    }

    void storeStartsOverBadFilesAndKeepsWhatIsSaved_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<double>("threshold");
        QTest::newRow("nan") << QByteArray("[General]\nNudgewatch.idleThreshold=nan\n") << 60.0;
        QTest::newRow("1e308") << QByteArray("[General]\nNudgewatch.idleThreshold=1e308\n")
                               << 1e308;
        QTest::newRow("paths with non-strings")
            << QByteArray("[General]\nNudgewatch.trackedAppPaths=@Rect(1 2 3 4)\n"
                          "Nudgewatch.idleThreshold=45\n")
            << 45.0;
    }
    void storeStartsOverBadFilesAndKeepsWhatIsSaved()
    {
        QFETCH(QByteArray, content);
        QFETCH(double, threshold);
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        writeFile(file, content);
        StoreFixture f;
        SettingsDefaults defaults(file);
        const auto store = f.makeStore(&defaults);
        QCOMPARE(store->idleThresholdSeconds(), threshold);
        QVERIFY(store->trackedApps().empty());
        const QByteArray after = readFile(file);
        // The unreadable path list is left exactly as the user saved it.
        if (content.contains("@Rect"))
            QVERIFY(after.contains("Nudgewatch.trackedAppPaths=@Rect(1 2 3 4)"));
        SettingsDefaults reread(file);
        QCOMPARE(reread.doubleValue(defaultsKeys::idleThreshold), threshold);
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
        writeFile(dir.filePath("blocker"), "not a directory");
        QVERIFY(QDir(dir.path()).mkdir("dir.conf"));
        const QString file = dir.filePath(relativePath);
        SettingsDefaults defaults(file);
        QVERIFY(!defaults.stringList(defaultsKeys::trackedAppPaths).has_value());
        QVERIFY(!defaults.setStringList(defaultsKeys::trackedAppPaths, {"/a.desktop"}));
        QVERIFY(!defaults.setDouble(defaultsKeys::idleThreshold, 45));
        QCOMPARE(defaults.doubleValue(defaultsKeys::idleThreshold), 0.0);

        StoreFixture f;
        const auto store = f.makeStore(&defaults);
        QCOMPARE(store->idleThresholdSeconds(), 60.0);
        QVERIFY(!store->lastSaveSucceeded());
    }
};

QTEST_GUILESS_MAIN(SettingsDefaultsTest)
#include "platform_settings_defaults_test.moc"
