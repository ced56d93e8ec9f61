// The spring that opens and closes the panel, stepped without any window.
#include "notch/Spring.h"

#include <QTest>

#include <cmath>
#include <vector>

using namespace nudgewatch;

namespace {

struct Run {
    std::vector<double> progress; // after each step, before any settle snap
    int firstAbove = 0;           // first step whose progress exceeds the bound
    int settledOn = 0;
    SpringState final;
};

// Steps until the spring settles (or a step limit) and records what it did.
Run run(SpringState state, double aboveBound, int limit = 1000)
{
    Run r;
    for (int step = 1; step <= limit; ++step) {
        const SpringStepResult result = stepSpring(state);
        r.progress.push_back(result.postedProgress);
        if (r.firstAbove == 0 && result.postedProgress > aboveBound)
            r.firstAbove = step;
        if (result.settled) {
            r.settledOn = step;
            break;
        }
    }
    r.final = state;
    return r;
}

int extremeStep(const std::vector<double> &values, bool largest)
{
    auto it = largest ? std::max_element(values.begin(), values.end())
                      : std::min_element(values.begin(), values.end());
    return int(it - values.begin()) + 1;
}

} // namespace

class SpringTest : public QObject {
    Q_OBJECT
private slots:
    void openingFigures_data();
    void openingFigures();
    void openingShape();
    void collapseMirrorsOpening();
    void expandWhileOpenSettlesAtOnce();
    void reversalCarriesVelocity();
    void frameClamp_data();
    void frameClamp();
};

void SpringTest::openingFigures_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<double>("progress");
    QTest::newRow("first step") << 1 << 0.0152778;
    QTest::newRow("second step") << 2 << 0.0425444;
    QTest::newRow("third step") << 3 << 0.0789854;
    QTest::newRow("peak") << 46 << 1.0057733;
}

void SpringTest::openingFigures()
{
    QFETCH(int, step);
    QFETCH(double, progress);
    const Run r = run({0, 0, 1}, 1.0);
    QVERIFY(int(r.progress.size()) >= step);
    QVERIFY2(std::abs(r.progress[std::size_t(step - 1)] - progress) < 5e-8,
             qPrintable(QString::number(r.progress[std::size_t(step - 1)], 'g', 10)));
}

void SpringTest::openingShape()
{
    SpringState state{0, 0, 1};
    const SpringStepResult first = stepSpring(state);
    QCOMPARE(state.velocity, 220.0 / 120.0);
    QVERIFY(std::abs(110 * first.frameProgress - 1.68) < 0.01);

    const Run r = run({0, 0, 1}, 1.0);
    QCOMPARE(r.firstAbove, 38);
    QCOMPARE(extremeStep(r.progress, true), 46);
    QCOMPARE(r.settledOn, 72);
    QCOMPARE(r.final.progress, 1.0); // exactly the target, not the integrated value
    QCOMPARE(r.final.velocity, 0.0);
    QVERIFY(r.progress.back() != 1.0);
}

void SpringTest::collapseMirrorsOpening()
{
    const Run open = run({0, 0, 1}, 1.0);
    const Run close = run({1, 0, 0}, 2.0);
    QCOMPARE(close.settledOn, 72);
    QCOMPARE(extremeStep(close.progress, false), 46);
    QVERIFY(std::abs(close.progress[45] + 0.0057733) < 5e-8);
    for (std::size_t i = 0; i < close.progress.size(); ++i)
        QVERIFY(std::abs(close.progress[i] - (1 - open.progress[i])) < 1e-12);
    QCOMPARE(close.final.progress, 0.0);

    // While the progress is negative the frame is clamped to no height at all.
    SpringState state{1, 0, 0};
    for (int step = 1; step <= 46; ++step) {
        const SpringStepResult result = stepSpring(state);
        if (result.postedProgress < 0)
            QCOMPARE(result.frameProgress, 0.0);
    }
}

void SpringTest::expandWhileOpenSettlesAtOnce()
{
    SpringState state{1, 0, 1};
    const SpringStepResult result = stepSpring(state);
    QVERIFY(result.settled);
    QCOMPARE(result.postedProgress, 1.0);
    QCOMPARE(state.progress, 1.0);
}

void SpringTest::reversalCarriesVelocity()
{
    SpringState state{0, 0, 1};
    for (int i = 0; i < 20; ++i)
        stepSpring(state);
    const double before = state.progress;
    const double velocity = state.velocity;
    QVERIFY(velocity > 0);
    state.target = 0; // a collapse half-way through the drop
    const SpringStepResult next = stepSpring(state);
    // The motion continues from where it was: no jump, still moving down first.
    QVERIFY(std::abs(next.postedProgress - before) < 0.05);
    QVERIFY(next.postedProgress > before);
    const Run rest = run(state, 2.0);
    QVERIFY(rest.settledOn > 0);
    QCOMPARE(rest.final.progress, 0.0);
    for (std::size_t i = 1; i < rest.progress.size(); ++i)
        QVERIFY(std::abs(rest.progress[i] - rest.progress[i - 1]) < 0.05);
    const double lowest = *std::min_element(rest.progress.begin(), rest.progress.end());
    QVERIFY(lowest > -0.0058);
}

void SpringTest::frameClamp_data()
{
    QTest::addColumn<double>("progress");
    QTest::addColumn<double>("frame");
    QTest::newRow("well above the upper clamp") << 1.1 << 1.02;
    QTest::newRow("below zero") << -0.2 << 0.0;
    QTest::newRow("inside") << 0.5 << -1.0; // -1: equals the posted value
}

void SpringTest::frameClamp()
{
    QFETCH(double, progress);
    QFETCH(double, frame);
    SpringState state{progress, 0, progress}; // at its own target: settles, posts it
    // Integration moves nothing at the target, so the clamp alone shapes the frame.
    const SpringStepResult result = stepSpring(state);
    QCOMPARE(result.postedProgress, progress);
    QCOMPARE(result.frameProgress, frame < 0 ? progress : frame);
    if (progress == 1.1)
        QVERIFY(std::abs(110 * result.frameProgress - 112.2) < 1e-9);
}

QTEST_APPLESS_MAIN(SpringTest)
#include "notch_spring.moc"
