// The standard form of an entry path, by which saved and running entries compare.
#include "core/BundlePath.h"

#include <QTest>

using namespace nudgewatch;

class BundlePathTest : public QObject {
    Q_OBJECT
private slots:
    void standardizedPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dot, dot dot, double slash") << "/a/./x/..//b.desktop"
                                                    << "/a/b.desktop";
        QTest::newRow("trailing slash and dot dot") << "/a/b/c/../"
                                                    << "/a/b";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("dots in names") << "/a/..b/c..d/.e"
                                       << "/a/..b/c..d/.e";
        QTest::newRow("relative") << "a/b"
                                  << "";
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
