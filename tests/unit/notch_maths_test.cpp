// The spring that opens and closes the panel, stepped without any window, and
// where the panel's window goes and the card sits in it. The panel's own tests
// compare against this spring; its figures live here only.
#include "fakes/Rows.h"
#include "notch/PanelGeometry.h"
#include "notch/Spring.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace nudgewatch;
using nudgewatch::fakes::fetchRow;

Q_DECLARE_METATYPE(FrontWindowPlace)

namespace {

using Geometry = std::tuple<QRect, double, QRect, bool>; // screen, height: window, mapped

struct Run {
    std::vector<double> progress; // after each step, before any settle snap
    int settledOn = 0;
    SpringState final;
};

Run run(SpringState state, int limit = 1000)
{
    Run r;
    for (int step = 1; step <= limit && r.settledOn == 0; ++step) {
        const SpringStepResult result = stepSpring(state);
        r.progress.push_back(result.postedProgress);
        if (result.settled)
            r.settledOn = step;
    }
    r.final = state;
    return r;
}

} // namespace

class NotchMathsTest : public QObject {
    Q_OBJECT
private slots:
    void openingAndCollapse()
    {
        const Run r = run({0, 0, 1});
        const std::pair<int, double> figures[] = {
            {1, 0.0152778}, {2, 0.0425444}, {3, 0.0789854}, {46, 1.0057733}};
        for (const auto &[step, progress] : figures)
            QVERIFY2(std::abs(r.progress.at(std::size_t(step - 1)) - progress) < 5e-8,
                     qPrintable(QString::number(step)));
        const auto above =
            std::find_if(r.progress.begin(), r.progress.end(), [](double p) { return p > 1.0; });
        QCOMPARE(above - r.progress.begin() + 1, 38); // first above the target
        QCOMPARE(std::max_element(r.progress.begin(), r.progress.end()) - r.progress.begin() + 1,
                 46);
        QCOMPARE(r.settledOn, 72);
        QCOMPARE(r.final.progress, 1.0); // exactly the target, not the integrated value
        QCOMPARE(r.final.velocity, 0.0);
        // Collapsing mirrors opening.
        const Run close = run({1, 0, 0});
        QCOMPARE(close.progress.size(), r.progress.size());
        for (std::size_t i = 0; i < close.progress.size(); ++i)
            QVERIFY(std::abs(close.progress[i] - (1 - r.progress[i])) < 1e-12);
    }

    void reversalCarriesVelocity()
    {
        SpringState state{0, 0, 1};
        for (int i = 0; i < 20; ++i)
            stepSpring(state);
        const double before = state.progress;
        state.target = 0; // a collapse half-way through the drop
        const SpringStepResult next = stepSpring(state);
        // The motion continues from where it was: no jump, still moving down first.
        QVERIFY(next.postedProgress > before && next.postedProgress - before < 0.05);
        const Run rest = run(state);
        QCOMPARE(rest.final.progress, 0.0);
        for (std::size_t i = 1; i < rest.progress.size(); ++i)
            QVERIFY(std::abs(rest.progress[i] - rest.progress[i - 1]) < 0.05);
    }

    // Well above the upper clamp, and below zero.
    void frameClamp()
    {
        for (const auto &[progress, frame] : {std::pair(1.1, 1.02), std::pair(-0.2, 0.0)}) {
            SpringState state{progress, 0, progress}; // at its own target: settles, posts it
            const SpringStepResult result = stepSpring(state);
            QCOMPARE(result.postedProgress, progress);
            QCOMPARE(result.frameProgress, frame);
        }
    }

    void windowGeometry_data()
    {
        QTest::addColumn<Geometry>("row");
        const QRect screen(0, 0, 1512, 982);
        QTest::newRow("closed") << Geometry{screen, 0.0, QRect(596, 0, 320, 0), false};
        QTest::newRow("open") << Geometry{screen, 110.0, QRect(596, 0, 320, 110), true};
        QTest::newRow("rounds to whole points") << Geometry{screen, 1.68, {596, 0, 320, 2}, true};
        QTest::newRow("under a point is unmapped")
            << Geometry{screen, 0.9, QRect(596, 0, 320, 1), false};
        QTest::newRow("primary screen right of and below another")
            << Geometry{{1920, 1080, 1280, 1024}, 55.0, {2400, 1080, 320, 55}, true};
        QTest::newRow("not a number")
            << Geometry{{0, 0, 800, 600}, std::nan(""), {240, 0, 320, 0}, false};
    }
    void windowGeometry()
    {
        const auto [screen, height, window, mapped] = fetchRow<Geometry>();
        QCOMPARE(panelWindowGeometry(screen, height), window);
        QCOMPARE(panelIsMapped(height), mapped);
    }

    void monitorAndWorkArea_data()
    {
        QTest::addColumn<std::pair<FrontWindowPlace, QRect>>("row"); // the window's geometry
        const std::optional<QRect> none;
        // Right: a 64-point top panel; bottom: below the others, a 20-point one.
        using Row = std::pair<FrontWindowPlace, QRect>;
        QTest::newRow("unknown: the primary") << Row{{}, {480, 0, 320, 110}};
        QTest::newRow("mostly on the right")
            << Row{{QRect(1000, 90, 900, 300), {}}, {1760, 26, 320, 110}};
        QTest::newRow("named output") << Row{{none, QStringLiteral("DP-2")}, {1760, 26, 320, 110}};
        QTest::newRow("under a thin panel")
            << Row{{QRect(10, 900, 5, 5), {}}, {480, 800, 320, 110}};
        QTest::newRow("off every monitor") << Row{{QRect(-900, 0, 50, 50), {}}, {480, 0, 320, 110}};
    }
    void monitorAndWorkArea()
    {
        const auto [place, window] = fetchRow<std::pair<FrontWindowPlace, QRect>>();
        const std::vector<Monitor> monitors{
            {QStringLiteral("DP-1"), QRect(0, 0, 1280, 800), QRect(0, 0, 1280, 800)},
            {QStringLiteral("DP-2"), QRect(1280, 0, 1280, 800), QRect(1280, 64, 1280, 736)},
            {QStringLiteral("HDMI-1"), QRect(0, 800, 1280, 120), QRect(0, 820, 1280, 100)}};
        QCOMPARE(panelWindowGeometry(monitors.at(cardMonitor(monitors, place, 0)), 110), window);
    }

    void cardSurfaceAnchoredToBottom()
    {
        QCOMPARE(cardSurfaceInPanel(110), QRect(0, 0, 320, 110));
        QCOMPARE(cardSurfaceInPanel(2), QRect(0, -108, 320, 110));
        QCOMPARE(cardSurfaceInPanel(111), QRect(0, 1, 320, 110)); // a strip above at overshoot
    }
};

QTEST_APPLESS_MAIN(NotchMathsTest)
#include "notch_maths_test.moc"
