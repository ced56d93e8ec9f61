// The threshold slider's grid, 30 s to 10 min in steps of 15 s, and the
// threshold and idle-time texts the settings window shows.
#include "settings/ThresholdScale.h"
#include "tracking/DurationFormat.h"

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

    // A stored threshold's slider position, and its text; the idle text shares its rules.
    void positionAndText_data()
    {
        QTest::addColumn<bool>("idle");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("position"); // on the slider, for a threshold
        QTest::addColumn<QString>("text");
        const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
        QTest::newRow("135") << false << 135.0 << 135 << "2m 15s";
        QTest::newRow("off grid, truncated") << false << 59.9 << 60 << "59s";
        QTest::newRow("above range, no hours") << false << 3600.0 << 600 << "60m";
        QTest::newRow("below range") << false << 2.0 << 30 << "2s";
        QTest::newRow("negative shows zero") << false << -5.0 << 30 << "0s";
        QTest::newRow("not a number") << false << nan << 30 << QStringLiteral("\u2014");
        QTest::newRow("infinity") << false << inf << 600 << QStringLiteral("\u221e");
        QTest::newRow("beyond 64 bits saturates")
            << false << 1e300 << 600 << "153722867280912930m 7s"; // (2^63 - 1) s
        QTest::newRow("idle 42") << true << 42.0 << 0 << "42s idle";
        QTest::newRow("idle 60") << true << 60.0 << 0 << "1m 0s idle";
        QTest::newRow("idle, clock went back") << true << -3.0 << 0 << "0s idle";
        QTest::newRow("idle not a number") << true << nan << 0 << QStringLiteral("\u2014");
        QTest::newRow("idle infinity") << true << inf << 0 << QStringLiteral("\u221e idle");
    }
    void positionAndText()
    {
        QFETCH(bool, idle);
        QFETCH(double, seconds);
        QFETCH(int, position);
        QFETCH(QString, text);
        QCOMPARE(idle ? formatIdleTime(seconds) : formatThreshold(seconds), text);
        if (!idle)
            QCOMPARE(thresholdScale::positionFor(seconds), position);
    }
};

QTEST_APPLESS_MAIN(ThresholdScaleTest)
#include "settings_threshold_scale_test.moc"
