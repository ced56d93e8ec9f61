#include "settings/ThresholdScale.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace nudgewatch;

class ThresholdScaleTest : public QObject {
    Q_OBJECT
private slots:
    void snapped_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("expected");
        QTest::newRow("minimum") << 30 << 30;
        QTest::newRow("below range") << 0 << 30;
        QTest::newRow("above range") << 9000 << 600;
        QTest::newRow("rounds down") << 37 << 30;
        QTest::newRow("rounds up at half") << 38 << 45;
        QTest::newRow("on grid") << 135 << 135;
        QTest::newRow("near maximum") << 599 << 600;
        QTest::newRow("int minimum") << std::numeric_limits<int>::min() << 30;
        QTest::newRow("int maximum") << std::numeric_limits<int>::max() << 600;
    }
    void snapped()
    {
        QFETCH(int, raw);
        QFETCH(int, expected);
        QCOMPARE(thresholdScale::snapped(raw), expected);
    }

    // Every value a drag can produce is 30 + 15k within 30...600: 39 positions.
    void everyPositionIsOnTheGrid()
    {
        QSet<int> positions;
        for (int raw = -100; raw <= 800; ++raw) {
            const int value = thresholdScale::snapped(raw);
            QVERIFY2(value >= 30 && value <= 600 && (value - 30) % 15 == 0,
                     qPrintable(QString::number(value)));
            positions.insert(value);
        }
        QCOMPARE(positions.size(), 39);
    }

    void positionFor_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("default") << 60.0 << 60;
        QTest::newRow("off grid") << 59.9 << 60;
        QTest::newRow("above range") << 3600.0 << 600;
        QTest::newRow("below range") << 2.0 << 30;
        QTest::newRow("nan") << std::nan("") << 30;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 600;
        QTest::newRow("-infinity") << -std::numeric_limits<double>::infinity() << 30;
    }
    void positionFor()
    {
        QFETCH(double, stored);
        QFETCH(int, expected);
        QCOMPARE(thresholdScale::positionFor(stored), expected);
    }
};

QTEST_APPLESS_MAIN(ThresholdScaleTest)
#include "settings_threshold_scale_test.moc"
