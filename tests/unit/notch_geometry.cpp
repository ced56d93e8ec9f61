// Panel placement and the water ripple shapes, computed without a window.
#include "notch/PanelGeometry.h"
#include "card/RippleWaves.h"

#include <QTest>

#include <cmath>

using namespace nudgewatch;

class NotchGeometryTest : public QObject {
    Q_OBJECT
private slots:
    void bottomUpFrame_data();
    void bottomUpFrame();
    void windowGeometry_data();
    void windowGeometry();
    void cardSurfaceAnchoredToBottom();
    void waveParameters();
    void waveSamples_data();
    void waveSamples();
    void wavesShiftOnePeriodPerPhase();
    void wavesOnOddWidth();
    void noWavesWithoutWidth();
};

void NotchGeometryTest::bottomUpFrame_data()
{
    QTest::addColumn<double>("height");
    QTest::addColumn<QRectF>("frame");
    QTest::newRow("closed") << 0.0 << QRectF(596, 982, 320, 0);
    QTest::newRow("open") << 110.0 << QRectF(596, 872, 320, 110);
    QTest::newRow("overshoot") << 110.64 << QRectF(596, 871.36, 320, 110.64);
}

void NotchGeometryTest::bottomUpFrame()
{
    QFETCH(double, height);
    QFETCH(QRectF, frame);
    QCOMPARE(panelFrameBottomUp(QRectF(0, 0, 1512, 982), height), frame);
}

void NotchGeometryTest::windowGeometry_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<double>("height");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<bool>("mapped");
    QTest::newRow("open on 1512 x 982")
        << QRect(0, 0, 1512, 982) << 110.0 << QRect(596, 0, 320, 110) << true;
    QTest::newRow("first step rounds")
        << QRect(0, 0, 1512, 982) << 1.68 << QRect(596, 0, 320, 2) << true;
    QTest::newRow("under a point is unmapped")
        << QRect(0, 0, 1512, 982) << 0.9 << QRect(596, 0, 320, 1) << false;
    QTest::newRow("closed") << QRect(0, 0, 1512, 982) << 0.0 << QRect(596, 0, 320, 0) << false;
    QTest::newRow("primary screen right of another")
        << QRect(1920, 0, 1280, 1024) << 110.0 << QRect(2400, 0, 320, 110) << true;
    QTest::newRow("primary screen below another")
        << QRect(0, 1080, 1920, 1080) << 55.0 << QRect(800, 1080, 320, 55) << true;
    QTest::newRow("not a number") << QRect(0, 0, 800, 600) << std::nan("") << QRect(240, 0, 320, 0)
                                  << false;
}

void NotchGeometryTest::windowGeometry()
{
    QFETCH(QRect, screen);
    QFETCH(double, height);
    QFETCH(QRect, window);
    QFETCH(bool, mapped);
    QCOMPARE(panelWindowGeometry(screen, height), window);
    QCOMPARE(panelIsMapped(height), mapped);
}

void NotchGeometryTest::cardSurfaceAnchoredToBottom()
{
    QCOMPARE(cardSurfaceInPanel(110), QRect(0, 0, 320, 110));
    QCOMPARE(cardSurfaceInPanel(2), QRect(0, -108, 320, 110));
    QCOMPARE(cardSurfaceInPanel(111), QRect(0, 1, 320, 110)); // a strip above at overshoot
}

void NotchGeometryTest::waveParameters()
{
    const auto waves = rippleWaves(1.0, QSizeF(320, 72));
    const double baselines[] = {21.6, 29.6, 37.6};
    const double amplitudes[] = {2, 3, 4};
    const double opacities[] = {0.02, 0.01988, 0.01976};
    for (std::size_t i = 0; i < 3; ++i) {
        QVERIFY(std::abs(waves[i].baseline - baselines[i]) < 1e-12);
        QCOMPARE(waves[i].amplitude, amplitudes[i]);
        QVERIFY(std::abs(waves[i].opacity - opacities[i]) < 1e-12);
        QCOMPARE(waves[i].sampleCount, 161);
        const QPolygonF &outline = waves[i].outline;
        QCOMPARE(outline.size(), 161 + 3);
        QCOMPARE(outline.first(), QPointF(0, waves[i].baseline));
        QCOMPARE(outline.at(1).x(), 0.0);
        QCOMPARE(outline.at(161).x(), 320.0);
        QCOMPARE(outline.at(162), QPointF(320, 72));
        QCOMPARE(outline.at(163), QPointF(0, 72));
    }
    // At phase 0 the shapes exist but nothing shows.
    for (const RippleWave &wave : rippleWaves(0.0, QSizeF(320, 72)))
        QCOMPARE(wave.opacity, 0.0);
}

void NotchGeometryTest::waveSamples_data()
{
    QTest::addColumn<double>("phase");
    QTest::addColumn<int>("wave");
    QTest::addColumn<int>("sample");
    QTest::addColumn<QPointF>("point");
    QTest::newRow("wave 0 start at 0.25") << 0.25 << 0 << 0 << QPointF(0, 23.6);
    QTest::newRow("wave 0 x 40 at 0.25") << 0.25 << 0 << 20 << QPointF(40, 21.6);
    QTest::newRow("wave 1 start at 0.25") << 0.25 << 1 << 0 << QPointF(0, 30.687);
    QTest::newRow("wave 1 start at 0") << 0.0 << 1 << 0 << QPointF(0, 32.396);
    QTest::newRow("wave 1 start at 1") << 1.0 << 1 << 0 << QPointF(0, 32.396);
}

void NotchGeometryTest::waveSamples()
{
    QFETCH(double, phase);
    QFETCH(int, wave);
    QFETCH(int, sample);
    QFETCH(QPointF, point);
    const auto waves = rippleWaves(phase, QSizeF(320, 72));
    const QPointF actual = waves[std::size_t(wave)].outline.at(sample + 1);
    QCOMPARE(actual.x(), point.x());
    QVERIFY2(std::abs(actual.y() - point.y()) < 1e-3, qPrintable(QString::number(actual.y())));
}

void NotchGeometryTest::wavesShiftOnePeriodPerPhase()
{
    const auto at0 = rippleWaves(0.0, QSizeF(320, 72));
    const auto at1 = rippleWaves(1.0, QSizeF(320, 72));
    const auto atHalf = rippleWaves(0.5, QSizeF(320, 72));
    for (std::size_t i = 0; i < 3; ++i) {
        for (int s = 1; s <= 161; ++s)
            QVERIFY(std::abs(at0[i].outline.at(s).y() - at1[i].outline.at(s).y()) < 1e-9);
        // Half a phase moves the wave by half a period: 80 points, 40 samples.
        for (int s = 1; s + 40 <= 161; ++s)
            QVERIFY(std::abs(atHalf[i].outline.at(s).y() - at0[i].outline.at(s + 40).y()) < 1e-9);
    }
}

void NotchGeometryTest::wavesOnOddWidth()
{
    const auto waves = rippleWaves(0.5, QSizeF(321, 56));
    const QPolygonF &outline = waves[0].outline;
    QCOMPARE(waves[0].sampleCount, 161);
    QCOMPARE(outline.at(161).x(), 320.0); // the last even x below the width
    QCOMPARE(outline.at(162), QPointF(321, 56));
}

void NotchGeometryTest::noWavesWithoutWidth()
{
    for (const RippleWave &wave : rippleWaves(0.5, QSizeF(0, 56))) {
        QVERIFY(wave.outline.isEmpty());
        QCOMPARE(wave.opacity, 0.0);
    }
}

QTEST_APPLESS_MAIN(NotchGeometryTest)
#include "notch_geometry.moc"
