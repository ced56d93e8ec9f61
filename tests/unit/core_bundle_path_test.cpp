// The standard form of an entry path, by which saved and running entries compare.
#include "core/BundlePath.h"

#include <QTest>

#include <tuple>

using namespace nudgewatch;

class BundlePathTest : public QObject {
    Q_OBJECT
private slots:
    void standardizedPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        for (const auto &[name, path, expected] :
             {std::tuple{"dot, dot dot, double slash", "/a/./x/..//b.desktop", "/a/b.desktop"},
              {"trailing slash and dot dot", "/a/b/c/../", "/a/b"},
              {"root", "/", "/"},
              {"dots in names", "/a/..b/c..d/.e", "/a/..b/c..d/.e"},
              {"relative", "a/b", ""}})
            QTest::newRow(name) << QString(path) << QString(expected);
    }
    void standardizedPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(nudgewatch::standardizedPath(path), expected);
    }
};

QTEST_APPLESS_MAIN(BundlePathTest)
#include "core_bundle_path_test.moc"
