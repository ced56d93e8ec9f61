// The reminder card's pixels: at fixed moments of its glow, sweep and ripple, at
// one and two device pixels a point, against pictures of the card kept under
// tests/fixtures/card; and a run of frames repainted only where the card says
// it changed, against the same frames painted whole.
//   NUDGEWATCH_WRITE_CARD_FIXTURES=1 card_pixels_test   writes the pictures anew
#include "widget/card_rig.h"

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

// The largest difference of any channel of any pixel, premultiplied.
int largestDifference(const QImage &a, const QImage &b, QPoint *where)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (x.size() != y.size())
        return 256;
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row), *q = y.constScanLine(row);
        for (int byte = 0; byte < x.width() * 4; ++byte) {
            if (const int d = std::abs(p[byte] - q[byte]); d > largest) {
                largest = d;
                *where = QPoint(byte / 4, row);
            }
        }
    }
    return largest;
}

// Collects the regions the card is asked to paint while shown on screen.
struct PaintRegions final : QObject {
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
    QRegion taken() { return std::exchange(region, {}); }
    QRegion region;
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
        CardRig rig(progress);
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
        QVERIFY2(difference <= 3, qPrintable(QString::asprintf("%d levels at %d,%d", difference,
                                                               where.x(), where.y())));
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
        CardRig rig(progress);
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
            QVERIFY2(difference <= 1,
                     qPrintable(QString::asprintf("frame %d: %d levels at %d,%d", frame, difference,
                                                  where.x(), where.y())));
        }
    }
};

QTEST_MAIN(CardPixelsTest)
#include "card_pixels_test.moc"
