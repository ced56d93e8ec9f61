// The reminder card's pixels: at fixed moments of its glow, sweep and ripple, at
// one and two device pixels a point, against pictures of the card kept under
// tests/fixtures/card; and a run of frames repainted only where the card says
// it changed, against the same frames painted whole.
//   NUDGEWATCH_WRITE_CARD_FIXTURES=1 card_pixels_test   writes the pictures anew
#include "card/GlassNotificationView.h"
#include "fakes/Fakes.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTest>

#include <cmath>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

const QString fixtureDir = QStringLiteral(NUDGEWATCH_FIXTURES "/card");

// A reminder for Notes whose decorations have run `frames` frames, at `progress`.
struct PixelRig {
    StoreFixture fixture;
    std::unique_ptr<AppTrackerStore> store;
    std::unique_ptr<GlassNotificationView> view;

    explicit PixelRig(double progress = 1.0)
    {
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, fixture.install({"Notes"}));
        store = fixture.makeStore();
        view = std::make_unique<GlassNotificationView>(*store, fixture.notifications,
                                                       fixture.scheduler);
        view->show();
        store->startMonitoring();
        fixture.scheduler.advance(AppTrackerStore::defaultIdleThreshold);
        setProgress(progress);
    }
    void setProgress(double progress)
    {
        fixture.notifications.post(notifications::progress,
                                   {{notifications::progressKey, progress}});
        QCoreApplication::processEvents();
    }
    void runFrames(int frames)
    {
        for (int i = 0; i < frames; ++i)
            fixture.scheduler.advance(GlassNotificationView::decorationFrameSeconds);
        QCoreApplication::processEvents();
    }
    QImage render(double dpr) const
    {
        QImage image(QSize(320, 110) * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        view->render(&image);
        return image;
    }
};

// The largest difference of any channel of any pixel, premultiplied.
int largestDifference(const QImage &a, const QImage &b, QPoint *where)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (x.size() != y.size())
        return 256;
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d = std::max({std::abs(qAlpha(p[col]) - qAlpha(q[col])),
                                    std::abs(qRed(p[col]) - qRed(q[col])),
                                    std::abs(qGreen(p[col]) - qGreen(q[col])),
                                    std::abs(qBlue(p[col]) - qBlue(q[col]))});
            if (d > largest) {
                largest = d;
                *where = QPoint(col, row);
            }
        }
    }
    return largest;
}

// Collects the regions the card is asked to paint while shown on screen.
class PaintRegions final : public QObject {
public:
    QRegion taken()
    {
        const QRegion r = m_region;
        m_region = {};
        return r;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_region += static_cast<QPaintEvent *>(event)->region();
        return false;
    }

private:
    QRegion m_region;
};

} // namespace

class CardPixelsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The pictures were taken with this face; the desktop's default may differ.
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    }

    void matchesThePictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("frames");
        QTest::addColumn<double>("progress");
        QTest::addColumn<double>("dpr");
        // 60 frames: glow half bright, band at 160, waves a quarter in;
        // 90: glow near full, band across the middle, waves half in; 180: waves at
        // full strength; 30 at 0.4: the card a third faded in, scaled and lowered.
        for (const double dpr : {1.0, 2.0}) {
            const QByteArray x = QByteArray::number(int(dpr));
            QTest::newRow("glow @" + x) << "glow" << 60 << 1.0 << dpr;
            QTest::newRow("sweep @" + x) << "sweep" << 90 << 1.0 << dpr;
            QTest::newRow("ripple @" + x) << "ripple" << 180 << 1.0 << dpr;
            QTest::newRow("fading in @" + x) << "fade" << 30 << 0.4 << dpr;
            QTest::newRow("at rest @" + x) << "rest" << 0 << 1.0 << dpr;
        }
    }
    void matchesThePictures()
    {
        QFETCH(QString, name);
        QFETCH(int, frames);
        QFETCH(double, progress);
        QFETCH(double, dpr);
        PixelRig rig(progress);
        rig.runFrames(frames);
        const QImage image = rig.render(dpr);
        const QString file = QStringLiteral("%1/%2@%3x.png").arg(fixtureDir, name).arg(int(dpr));
        if (qEnvironmentVariableIsSet("NUDGEWATCH_WRITE_CARD_FIXTURES")) {
            QDir().mkpath(fixtureDir);
            QVERIFY(image.save(file));
            QSKIP("picture written");
        }
        const QImage expected(file);
        QVERIFY2(!expected.isNull(), qPrintable(file));
        QPoint where;
        const int difference = largestDifference(image, expected, &where);
        // Rounding in the blends and in the picture's own 8 bits may differ by a few levels.
        QVERIFY2(difference <= 3, qPrintable(QStringLiteral("%1 levels at %2,%3")
                                                 .arg(difference)
                                                 .arg(where.x())
                                                 .arg(where.y())));
    }

    // What is repainted frame after frame, cleared and painted only within the
    // regions the card asked for, ends as the whole frame painted afresh.
    void repaintsEverythingThatChanges_data()
    {
        QTest::addColumn<double>("dpr");
        QTest::addColumn<double>("progress");
        QTest::newRow("shown @1") << 1.0 << 1.0;
        QTest::newRow("shown @2") << 2.0 << 1.0;
        QTest::newRow("fading in @2") << 2.0 << 0.3;
    }
    void repaintsEverythingThatChanges()
    {
        QFETCH(double, dpr);
        QFETCH(double, progress);
        PixelRig rig(progress);
        QVERIFY(QTest::qWaitForWindowExposed(rig.view.get()));
        PaintRegions regions;
        rig.view->installEventFilter(&regions);
        QImage screen = rig.render(dpr);
        // Through more than one pass of every decoration, with the fade moving on.
        for (int frame = 1; frame <= 400; ++frame) {
            if (frame % 50 == 0 && progress < 1)
                rig.setProgress(std::min(1.0, progress + frame / 1000.0));
            rig.runFrames(1);
            QCoreApplication::sendPostedEvents();
            const QRegion dirty = regions.taken();
            {
                QPainter p(&screen);
                p.setCompositionMode(QPainter::CompositionMode_Source);
                for (const QRect &r : dirty)
                    p.fillRect(r, Qt::transparent);
            }
            // The region's top-left corner lands on the offset given.
            rig.view->render(&screen, dirty.boundingRect().topLeft(), dirty);
            const QImage whole = frame % 25 == 0 ? rig.render(dpr) : QImage();
            regions.taken(); // our own renders are not the card's requests
            if (whole.isNull())
                continue;
            QPoint where;
            const int difference = largestDifference(screen, whole, &where);
            QVERIFY2(difference <= 1, qPrintable(QStringLiteral("frame %1: %2 levels at %3,%4")
                                                     .arg(frame)
                                                     .arg(difference)
                                                     .arg(where.x())
                                                     .arg(where.y())));
        }
    }
};

QTEST_MAIN(CardPixelsTest)
#include "card_pixels_test.moc"
