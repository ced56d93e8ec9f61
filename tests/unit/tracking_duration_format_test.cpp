// The threshold and idle-time texts of the settings window.
#include "tracking/DurationFormat.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace nudgewatch;

class DurationFormatTest : public QObject {
    Q_OBJECT
private slots:
    // The threshold text and a row's idle text share their rules.
    void format_data()
    {
        QTest::addColumn<bool>("idle");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("expected");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("135") << false << 135.0 << "2m 15s";
        QTest::newRow("truncates 59.9") << false << 59.9 << "59s";
        QTest::newRow("no hours") << false << 3600.0 << "60m";
        QTest::newRow("negative shows zero") << false << -5.0 << "0s";
        QTest::newRow("not a number") << false << std::nan("") << QStringLiteral("\u2014");
        QTest::newRow("infinity") << false << inf << QStringLiteral("\u221e");
        QTest::newRow("beyond 64 bits saturates")
            << false << 1e300 << "153722867280912930m 7s"; // (2^63 - 1) s
        QTest::newRow("idle 42") << true << 42.0 << "42s idle";
        QTest::newRow("idle 60") << true << 60.0 << "1m 0s idle";
        QTest::newRow("idle, clock went back") << true << -3.0 << "0s idle";
        QTest::newRow("idle not a number") << true << std::nan("") << QStringLiteral("\u2014");
        QTest::newRow("idle infinity") << true << inf << QStringLiteral("\u221e idle");
    }
    void format()
    {
        QFETCH(bool, idle);
        QFETCH(double, seconds);
        QFETCH(QString, expected);
        QCOMPARE(idle ? formatIdleTime(seconds) : formatThreshold(seconds), expected);
    }
};

QTEST_APPLESS_MAIN(DurationFormatTest)
#include "tracking_duration_format_test.moc"
