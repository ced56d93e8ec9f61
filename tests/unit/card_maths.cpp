// The card's fade, layout, highlight band, glow and animation curves.
#include "card/CardLayout.h"
#include "card/GlassEffects.h"

#include <QTest>

#include <cmath>

using namespace nudgewatch;

namespace {
bool near(double a, double b, double tolerance = 1e-9)
{
    return std::abs(a - b) < tolerance;
}
} // namespace

class CardMathsTest : public QObject {
    Q_OBJECT
private slots:
    void fade_data();
    void fade();
    void layoutMatchesTheRow();
    void layoutTransform();
    void shimmer_data();
    void shimmer();
    void glow_data();
    void glow();
    void pingPongCurve_data();
    void pingPongCurve();
    void decorationsOverTime_data();
    void decorationsOverTime();
};

void CardMathsTest::fade_data()
{
    QTest::addColumn<double>("progress");
    QTest::addColumn<double>("fade");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("offset");
    QTest::newRow("undershoot") << -0.0057733 << 0.0 << 0.85 << 6.0;
    QTest::newRow("closed") << 0.0 << 0.0 << 0.85 << 6.0;
    QTest::newRow("at the threshold") << 0.15 << 0.0 << 0.85 << 6.0;
    QTest::newRow("half-way") << 0.4 << 0.5 << 0.925 << 3.0;
    QTest::newRow("fully shown") << 0.65 << 1.0 << 1.0 << 0.0;
    QTest::newRow("overshoot") << 1.0057733 << 1.0 << 1.0 << 0.0;
    QTest::newRow("not a number") << std::nan("") << 0.0 << 0.85 << 6.0;
}

void CardMathsTest::fade()
{
    QFETCH(double, progress);
    QFETCH(double, fade);
    QFETCH(double, scale);
    QFETCH(double, offset);
    const double f = cardFade(progress);
    QVERIFY(near(f, fade));
    const CardAppearance look = cardAppearance(f);
    QVERIFY(near(look.opacity, fade));
    QVERIFY(near(look.scale, scale));
    QVERIFY(near(look.offsetY, offset));
}

void CardMathsTest::layoutMatchesTheRow()
{
    const CardLayout layout = cardLayout(15, 12);
    QCOMPARE(layout.card, QRectF(0, 46, 320, 56)); // 8 free above the strip, 8 below
    QCOMPARE(layout.icon, QRectF(14, 56, 36, 36));
    QCOMPARE(layout.openButton, QRectF(244, 60, 28, 28));
    QCOMPARE(layout.snoozeButton, QRectF(282, 62, 24, 24));
    QCOMPARE(layout.textColumn.left(), 60.0);
    QCOMPARE(layout.textColumn.right(), 220.0); // 160 at most for the texts
    QCOMPARE(layout.nameLine.height(), 15.0);
    QCOMPARE(layout.messageLine.top(), layout.nameLine.bottom() + 2);
    QCOMPARE(layout.textColumn.center().y(), 74.0); // centred on the row
}

void CardMathsTest::layoutTransform()
{
    const CardLayout layout = cardLayout(15, 12);
    QCOMPARE(cardTransform(layout, 1.0).mapRect(layout.card), layout.card);
    // Half faded: 92.5 % about the centre, 3 points down.
    const QRectF half = cardTransform(layout, 0.5).mapRect(layout.card);
    QVERIFY(near(half.width(), 320 * 0.925));
    QVERIFY(near(half.center().x(), 160));
    QVERIFY(near(half.center().y(), 74 + 3));
}

void CardMathsTest::shimmer_data()
{
    QTest::addColumn<double>("phase");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("opacity");
    QTest::newRow("centred, middle") << 200.0 << 160.0 << 0.12;
    QTest::newRow("centred, left flank") << 200.0 << 96.0 << 0.06;
    QTest::newRow("centred, right flank") << 200.0 << 224.0 << 0.06;
    QTest::newRow("centred, left edge") << 200.0 << 0.0 << 0.0;
    QTest::newRow("centred, right edge") << 200.0 << 320.0 << 0.0;
    QTest::newRow("start, left edge") << 0.0 << 0.0 << 0.0825;
    QTest::newRow("start, x 24") << 0.0 << 24.0 << 0.06;
    QTest::newRow("start, x 120") << 0.0 << 120.0 << 0.0;
    QTest::newRow("start, x 200") << 0.0 << 200.0 << 0.0;
    QTest::newRow("end, x 200") << 400.0 << 200.0 << 0.0;
    QTest::newRow("end, x 296") << 400.0 << 296.0 << 0.06;
    QTest::newRow("end, right edge") << 400.0 << 320.0 << 0.0825;
}

void CardMathsTest::shimmer()
{
    QFETCH(double, phase);
    QFETCH(double, x);
    QFETCH(double, opacity);
    QVERIFY2(near(shimmerOpacityAt(x, phase, 320), opacity, 2e-3),
             qPrintable(QString::number(shimmerOpacityAt(x, phase, 320))));
}

void CardMathsTest::glow_data()
{
    QTest::addColumn<double>("brightness");
    QTest::addColumn<double>("opacity");
    QTest::addColumn<double>("radius");
    QTest::newRow("at rest") << 0.0 << 0.05 << 8.0;
    QTest::newRow("bright") << 1.0 << 0.15 << 20.0;
    QTest::newRow("between") << 0.5 << 0.10 << 14.0;
    QTest::newRow("out of range") << 3.0 << 0.15 << 20.0;
}

void CardMathsTest::glow()
{
    QFETCH(double, brightness);
    QFETCH(double, opacity);
    QFETCH(double, radius);
    const Glow g = glowAt(brightness);
    QVERIFY(near(g.opacity, opacity));
    QVERIFY(near(g.radius, radius));
}

void CardMathsTest::pingPongCurve_data()
{
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<double>("value");
    QTest::newRow("start") << 0.0 << 0.0;
    QTest::newRow("middle of the first pass") << 1.0 << 0.5;
    QTest::newRow("end of the first pass") << 2.0 << 1.0;
    QTest::newRow("middle of the way back") << 3.0 << 0.5;
    QTest::newRow("a full cycle") << 4.0 << 0.0;
    QTest::newRow("eases in slowly") << 0.2 << 0.028;
    QTest::newRow("eases out slowly") << 3.8 << 0.028;
}

void CardMathsTest::pingPongCurve()
{
    QFETCH(double, elapsed);
    QFETCH(double, value);
    QVERIFY2(near(pingPong(elapsed, 2.0), value, 1e-9),
             qPrintable(QString::number(pingPong(elapsed, 2.0))));
}

void CardMathsTest::decorationsOverTime_data()
{
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<double>("glow");
    QTest::addColumn<double>("shimmer");
    QTest::addColumn<double>("ripple");
    QTest::newRow("at the start") << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("shimmer half-way") << 1.25 << pingPong(1.25, 2) << 200.0 << pingPong(1.25, 3);
    QTest::newRow("glow bright") << 2.0 << 1.0 << 320.0 << pingPong(2, 3);
    QTest::newRow("shimmer starts over") << 2.5 << pingPong(2.5, 2) << 0.0 << pingPong(2.5, 3);
    QTest::newRow("ripple at full strength") << 3.0 << 0.5 << 80.0 << 1.0;
    QTest::newRow("ripple back at rest") << 6.0 << 1.0 << 160.0 << 0.0;
}

void CardMathsTest::decorationsOverTime()
{
    QFETCH(double, elapsed);
    QFETCH(double, glow);
    QFETCH(double, shimmer);
    QFETCH(double, ripple);
    const CardDecorations d = decorationsAt(elapsed);
    QVERIFY(near(d.glowBrightness, glow, 1e-9));
    QVERIFY2(near(d.shimmerPhase, shimmer, 1e-6), qPrintable(QString::number(d.shimmerPhase)));
    QVERIFY(near(d.ripplePhase, ripple, 1e-9));
}

QTEST_APPLESS_MAIN(CardMathsTest)
#include "card_maths.moc"
