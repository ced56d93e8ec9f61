// The threshold slider's grid: 30 s to 10 min in steps of 15 s.
#include "settings/ThresholdScale.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace nudgewatch;

class ThresholdScaleTest : public QObject {
    Q_OBJECT
private slots:
    // Every value a drag can produce is 30 + 15k within 30...600: 39 positions.
    void everyPositionIsOnTheGrid()
    {
        QSet<int> positions;
        for (int raw : {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
            positions.insert(thresholdScale::snapped(raw));
        QCOMPARE(positions, (QSet<int>{30, 600}));
        for (int raw = -100; raw <= 800; ++raw) {
            const int value = thresholdScale::snapped(raw);
            QVERIFY2(value >= 30 && value <= 600 && (value - 30) % 15 == 0,
                     qPrintable(QString::number(value)));
            positions.insert(value);
        }
        QCOMPARE(positions.size(), 39);
        QCOMPARE(thresholdScale::snapped(37), 30);
        QCOMPARE(thresholdScale::snapped(38), 45); // halves round up
    }

    void positionFor_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("off grid") << 59.9 << 60;
        QTest::newRow("above range") << 3600.0 << 600;
        QTest::newRow("below range") << 2.0 << 30;
        QTest::newRow("nan") << std::nan("") << 30;
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
