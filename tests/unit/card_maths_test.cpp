// The card's fade, layout, glow, decorations over time and water ripples.
#include "card/CardLayout.h"
#include "card/GlassEffects.h"
#include "card/RippleWaves.h"
#include "fakes/Rows.h"

#include <QTest>

#include <cmath>

using namespace nudgewatch;
using nudgewatch::fakes::fetchRow;

namespace {
using Decorations = std::tuple<double, double, double, double>; // elapsed: glow, shimmer, ripple
using Fit = std::tuple<int, double, int, int>; // size, width per pixel: fitted size, lines
} // namespace

class CardMathsTest : public QObject {
    Q_OBJECT
private slots:
    void fade_data()
    {
        QTest::addColumn<std::pair<double, double>>("row"); // progress, fade
        QTest::newRow("undershoot") << std::pair(-0.0057733, 0.0);
        QTest::newRow("at the threshold") << std::pair(0.15, 0.0);
        QTest::newRow("half-way") << std::pair(0.4, 0.5);
        QTest::newRow("overshoot") << std::pair(1.0057733, 1.0);
        QTest::newRow("not a number") << std::pair(std::nan(""), 0.0);
    }
    void fade()
    {
        const auto [progress, fade] = fetchRow<std::pair<double, double>>();
        QCOMPARE(cardFade(progress), fade);
    }

    void layout()
    {
        const CardLayout layout = cardLayout(15, 12);
        QCOMPARE(layout.card, QRectF(0, 46, 320, 56)); // 8 free above the strip, 8 below
        QCOMPARE(layout.textColumn.right(), 220.0);    // clear of the open button at 244
        QCOMPARE(cardTransform(layout, 1.0).mapRect(layout.card), layout.card);
        // Half faded: 92.5 % about the centre, 3 points down.
        QCOMPARE(cardTransform(layout, 0.5).mapRect(layout.card), QRectF(12, 51.1, 296, 51.8));
    }

    // From 5 % over 8 points at rest to 15 % over 20 when bright, and no further.
    void glow()
    {
        QCOMPARE(glowAt(0).opacity, 0.05);
        QCOMPARE(glowAt(0).radius, 8.0);
        QCOMPARE(glowAt(3).opacity, 0.15);
        QCOMPARE(glowAt(3).radius, 20.0);
    }

    // The glow goes back and forth every 2 s and the ripple every 3 s, both
    // eased; the shimmer sweeps 0..400 every 2.5 s.
    void decorationsOverTime_data()
    {
        QTest::addColumn<Decorations>("row");
        QTest::newRow("shimmer half-way") << Decorations{1.25, 0.68359375, 200.0, 325.0 / 864};
        QTest::newRow("shimmer starts over") << Decorations{2.5, 0.84375, 0.0, 25.0 / 27};
        QTest::newRow("ripple at full strength") << Decorations{3.0, 0.5, 80.0, 1.0};
    }
    void decorationsOverTime()
    {
        const auto [elapsed, glow, shimmer, ripple] = fetchRow<Decorations>();
        const CardDecorations d = decorationsAt(elapsed);
        QCOMPARE(d.glowBrightness, glow);
        QCOMPARE(d.shimmerPhase, shimmer);
        QCOMPARE(d.ripplePhase, ripple);
    }

    void waveShapes()
    {
        // Each wave is closed along the bottom of the area it fills.
        for (const RippleWave &wave : rippleWaves(1.0, QSizeF(320, 72))) {
            QVERIFY(wave.opacity > 0);
            QCOMPARE(wave.outline.size(), 161 + 3);
            QCOMPARE(wave.outline.at(162), QPointF(320, 72));
            QCOMPARE(wave.outline.at(163), QPointF(0, 72));
        }
        // At phase 0 the shapes exist but nothing shows; without width nothing exists.
        for (const RippleWave &wave : rippleWaves(0.0, QSizeF(320, 72)))
            QCOMPARE(wave.opacity, 0.0);
        for (const RippleWave &wave : rippleWaves(0.5, QSizeF(0, 56)))
            QVERIFY(wave.outline.isEmpty());
        // An odd width ends the samples on the last even x below it.
        QCOMPARE(rippleWaves(0.5, QSizeF(321, 56))[0].outline.at(161).x(), 320.0);
    }

    // No wave point at any phase lies above the top the card repaints from, and
    // the crest of the first wave reaches it.
    // In the card's bar, a taller and a short one.
    void wavesStayBelowTheirTop()
    {
        for (const double height : {56.0, 72.0, 20.0}) {
            const double top = rippleWavesTop(height);
            double highest = height;
            for (double phase = 0; phase <= 1.0; phase += 0.01)
                for (const RippleWave &wave : rippleWaves(phase, QSizeF(320, height)))
                    for (const QPointF &point : wave.outline)
                        highest = std::min(highest, point.y());
            QCOMPARE_GE(highest, top);
            QCOMPARE_LE(highest, top + 0.05);
        }
    }

    // A message 20 points wide per pixel of size, in a 160-point column.
    void messageShrinksThenWraps_data()
    {
        QTest::addColumn<Fit>("row");
        QTest::newRow("fits as it is") << Fit{8, 20.0, 8, 1};
        QTest::newRow("a little smaller") << Fit{10, 17.5, 9, 1};
        QTest::newRow("four fifths at most, then two lines") << Fit{12, 20.0, 10, 2};
        QTest::newRow("never under 7") << Fit{7, 30.0, 7, 2};
    }
    void messageShrinksThenWraps()
    {
        const auto [size, perPixel, fitted, lines] = fetchRow<Fit>();
        const MessageFit fit = fitMessage([&](int px) { return px * perPixel; }, size, 160);
        QCOMPARE(fit.pixelSize, fitted);
        QCOMPARE(fit.lines, lines);
    }
};

QTEST_APPLESS_MAIN(CardMathsTest)
#include "card_maths_test.moc"
