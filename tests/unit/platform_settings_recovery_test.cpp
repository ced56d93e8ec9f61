// A settings file that cannot be read is never written over; setting it aside
// keeps it beside a fresh file that holds every value that could be read.

#include "platform/qt/SettingsDefaults.h"
#include "tracking/AppTrackerStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace nudgewatch;

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

class SettingsRecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void damagedFileIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("earlierCopies"); // already beside the file
        QTest::addColumn<QString>("keptAs");
        const QByteArray openSection("[General\nNudgewatch.trackedAppPaths=/a.desktop\n");
        QTest::newRow("open section") << openSection << QStringList{} << ".damaged";
        QTest::newRow("line without value")
            << QByteArray("my notes\nNudgewatch.trackedAppPaths=/a.desktop\n") << QStringList{}
            << ".damaged";
        QTest::newRow("earlier copies are kept")
            << openSection << QStringList{".damaged", ".damaged.2"} << ".damaged.3";
    }
    void damagedFileIsSetAside()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, earlierCopies);
        QFETCH(QString, keptAs);
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        writeFile(file, content);
        for (const QString &suffix : earlierCopies)
            writeFile(file + suffix, suffix.toUtf8());

        SettingsDefaults defaults(file);
        QVERIFY(defaults.isDamaged());
        QCOMPARE(defaults.location(), file);
        QVERIFY(!defaults.setDouble(defaultsKeys::idleThreshold, 90));
        QVERIFY(!defaults.setStringList(defaultsKeys::trackedAppPaths, {}));
        QCOMPARE(readFile(file), content); // never written over
        // What could be read is used; a refused write is not remembered as saved.
        QCOMPARE(defaults.stringList(defaultsKeys::trackedAppPaths), QStringList{"/a.desktop"});
        QCOMPARE(defaults.doubleValue(defaultsKeys::idleThreshold), 0.0);

        QCOMPARE(defaults.setAsideDamaged(), file + keptAs);
        QCOMPARE(readFile(file + keptAs), content);
        for (const QString &suffix : earlierCopies)
            QCOMPARE(readFile(file + suffix), suffix.toUtf8());
        QVERIFY(!defaults.isDamaged());
        // What could be read lives on in the fresh file, which takes writes again.
        QVERIFY(defaults.setDouble(defaultsKeys::idleThreshold, 90));
        SettingsDefaults reread(file);
        QVERIFY(!reread.isDamaged());
        QCOMPARE(reread.stringList(defaultsKeys::trackedAppPaths), QStringList{"/a.desktop"});
        QCOMPARE(reread.doubleValue(defaultsKeys::idleThreshold), 90.0);
    }

    void soundFileIsNotSetAside()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("Nudgewatch.conf");
        const QByteArray content("[General]\nNudgewatch.idleThreshold=45\n");
        writeFile(file, content);
        SettingsDefaults defaults(file);
        QVERIFY(!defaults.isDamaged());
        QCOMPARE(defaults.setAsideDamaged(), QString());
        QCOMPARE(readFile(file), content);
        QVERIFY(!QFile::exists(file + ".damaged"));
    }
};

QTEST_GUILESS_MAIN(SettingsRecoveryTest)
#include "platform_settings_recovery_test.moc"
