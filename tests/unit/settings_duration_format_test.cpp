#include "tracking/DurationFormat.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace nudgewatch;

class DurationFormatTest : public QObject {
    Q_OBJECT
private slots:
    void threshold_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("minimum") << 30.0 << "30s";
        QTest::newRow("45") << 45.0 << "45s";
        QTest::newRow("default") << 60.0 << "1m";
        QTest::newRow("75") << 75.0 << "1m 15s";
        QTest::newRow("90") << 90.0 << "1m 30s";
        QTest::newRow("135") << 135.0 << "2m 15s";
        QTest::newRow("585") << 585.0 << "9m 45s";
        QTest::newRow("maximum") << 600.0 << "10m";
        QTest::newRow("truncates 44.9") << 44.9 << "44s";
        QTest::newRow("truncates 59.9") << 59.9 << "59s";
        QTest::newRow("no hours") << 3600.0 << "60m";
        QTest::newRow("zero") << 0.0 << "0s";
        QTest::newRow("negative shows zero") << -5.0 << "0s";
        QTest::newRow("minus infinity shows zero")
            << -std::numeric_limits<double>::infinity() << "0s";
        QTest::newRow("not a number") << std::nan("") << QStringLiteral("\u2014");
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity()
                                  << QStringLiteral("\u221e");
        QTest::newRow("beyond 64 bits saturates")
            << 1e300 << "153722867280912930m 7s"; // (2^63 - 1) s
    }
    void threshold()
    {
        QFETCH(double, seconds);
        QFETCH(QString, expected);
        QCOMPARE(formatThreshold(seconds), expected);
    }

    void idleTime_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0") << 0.0 << "0s idle";
        QTest::newRow("42") << 42.0 << "42s idle";
        QTest::newRow("59.9") << 59.9 << "59s idle";
        QTest::newRow("60") << 60.0 << "1m 0s idle";
        QTest::newRow("61.5") << 61.5 << "1m 1s idle";
        QTest::newRow("125") << 125.0 << "2m 5s idle";
        QTest::newRow("3599") << 3599.0 << "59m 59s idle";
        QTest::newRow("3600") << 3600.0 << "60m 0s idle";
        QTest::newRow("clock went back") << -3.0 << "0s idle";
        QTest::newRow("not a number") << std::nan("") << QStringLiteral("\u2014");
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity()
                                  << QStringLiteral("\u221e idle");
        QTest::newRow("largest double")
            << std::numeric_limits<double>::max() << "153722867280912930m 7s idle";
    }
    void idleTime()
    {
        QFETCH(double, seconds);
        QFETCH(QString, expected);
        QCOMPARE(formatIdleTime(seconds), expected);
    }

    void wholeSeconds_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("truncates toward zero") << 59.9 << qint64(59);
        QTest::newRow("negative toward zero") << -59.9 << qint64(-59);
        QTest::newRow("nan") << std::nan("") << qint64(0);
        QTest::newRow("2^63 saturates")
            << 9223372036854775808.0 << std::numeric_limits<qint64>::max();
        QTest::newRow("largest below 2^63") << 9223372036854774784.0 << qint64(9223372036854774784);
        QTest::newRow("-2^63 saturates")
            << -9223372036854775808.0 << std::numeric_limits<qint64>::min();
        QTest::newRow("-infinity")
            << -std::numeric_limits<double>::infinity() << std::numeric_limits<qint64>::min();
    }
    void wholeSeconds()
    {
        QFETCH(double, seconds);
        QFETCH(qint64, expected);
        QCOMPARE(nudgewatch::wholeSeconds(seconds), expected);
    }
};

QTEST_APPLESS_MAIN(DurationFormatTest)
#include "settings_duration_format_test.moc"
