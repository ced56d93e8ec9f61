// The threshold and idle-time texts of the settings window.
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
        QTest::newRow("135") << 135.0 << "2m 15s";
        QTest::newRow("truncates 59.9") << 59.9 << "59s";
        QTest::newRow("no hours") << 3600.0 << "60m";
        QTest::newRow("negative shows zero") << -5.0 << "0s";
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
        QTest::newRow("42") << 42.0 << "42s idle";
        QTest::newRow("60") << 60.0 << "1m 0s idle";
        QTest::newRow("clock went back") << -3.0 << "0s idle";
        QTest::newRow("not a number") << std::nan("") << QStringLiteral("\u2014");
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity()
                                  << QStringLiteral("\u221e idle");
    }
    void idleTime()
    {
        QFETCH(double, seconds);
        QFETCH(QString, expected);
        QCOMPARE(formatIdleTime(seconds), expected);
    }
};

QTEST_APPLESS_MAIN(DurationFormatTest)
#include "tracking_duration_format_test.moc"
