// The reminder card rendered offscreen: how it fades, its buttons and font, and how
// assistive technologies see it: a notification named after the application,
// its message, its buttons, and the whole message where the drawn line is cut.
// Its pixels: at fixed moments of its glow, sweep and ripple, at one and two
// device pixels a point, against pictures of the card kept under
// tests/fixtures/card; and a run of frames repainted only where the card says
// it changed, against the same frames painted whole.
//   NUDGEWATCH_WRITE_CARD_FIXTURES=1 card_view_test   writes the pictures anew
#include "card/CardAccessibility.h"
#include "fakes/Rows.h"
#include "widget/card_rig.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <cmath>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

// A bare card as assistive technologies see it, and what they would be told.
struct Card {
    bool aboutCard = true; // every announcement is about the card itself
    QList<QAccessible::Event> events;
    QWidget view;
    QPushButton *open = new QPushButton(&view);
    QPushButton *snooze = new QPushButton(&view);
    CardAccessibility *accessibility =
        new CardAccessibility(view, *open, *snooze, [this](QAccessibleEvent *event) {
            aboutCard = aboutCard && event->object() == &view;
            events.append(event->type());
        });
    QAccessibleInterface *interface() { return QAccessible::queryAccessibleInterface(&view); }
    int count(QAccessible::Event type) const { return int(events.count(type)); }
};

const QString fixtureDir = QStringLiteral(NUDGEWATCH_FIXTURES "/card");

using Picture = std::tuple<QString, double, double, double>; // name, seconds, progress, dpr
using Fade = std::tuple<bool, double, int, int>;             // reminder, progress, alpha range
using Click = std::tuple<QPoint, QString, int, bool>; // a point: the name there, opened, snoozed
using Announced = std::tuple<QString, QString, bool>; // name, message, line cut

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

// Relative luminance of an opaque pixel, as contrast ratios count it.
double luminance(QRgb pixel)
{
    double sum = 0;
    for (const auto &[level, weight] :
         {std::pair(qRed(pixel), 0.2126), std::pair(qGreen(pixel), 0.7152),
          std::pair(qBlue(pixel), 0.0722)}) {
        const double c = level / 255.0;
        sum += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}

// Contrast of a line of text with the glass behind it: its brightest pixel
// against the brightest of its columns' darkest pixels (the glass there).
double textContrast(const QImage &image, const QRectF &line)
{
    double text = 0, glass = 0;
    const QRect area = line.toAlignedRect();
    for (int x = area.left(); x <= area.right(); ++x) {
        double darkest = 1;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const double l = luminance(image.pixel(x, y));
            text = std::max(text, l);
            darkest = std::min(darkest, l);
        }
        glass = std::max(glass, darkest);
    }
    return (text + 0.05) / (glass + 0.05);
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

class CardViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The pictures were taken with this face; the desktop's default may differ.
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    }

    void matchesThePictures_data()
    {
        QTest::addColumn<Picture>("row");
        // 1 s: glow half bright, band at 160, waves a quarter in; 1.5 s: glow
        // near full, band across the middle, waves half in; 3 s: waves at full
        // strength; 0.5 s at 0.4: the card a third faded in, scaled and lowered.
        for (const double dpr : {1.0, 2.0}) {
            const QByteArray x = QByteArray::number(int(dpr));
            QTest::newRow("glow @" + x) << Picture{"glow", 1.0, 1.0, dpr};
            QTest::newRow("sweep @" + x) << Picture{"sweep", 1.5, 1.0, dpr};
            QTest::newRow("ripple @" + x) << Picture{"ripple", 3.0, 1.0, dpr};
            QTest::newRow("fading in @" + x) << Picture{"fade", 0.5, 0.4, dpr};
            QTest::newRow("at rest @" + x) << Picture{"rest", 0.0, 1.0, dpr};
        }
    }
    void matchesThePictures()
    {
        const auto [name, seconds, progress, dpr] = fetchRow<Picture>();
        CardRig rig(progress);
        rig.runFrames(int(std::lround(seconds / GlassNotificationView::decorationFrameSeconds)));
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

    // Through a whole cycle of the decorations, frame by frame at their rate:
    // - the card moves in small steps: from one frame to the next no pixel
    //   changes by more than 2 % of full scale, but where the band starts over;
    // - both lines of text keep 4.5 : 1 contrast over a white and over a black
    //   window, with or without blur behind the card; without, the plain glass
    //   over the two differs by at most a quarter of full scale.
    void movesSmoothlyAndStaysLegible()
    {
        for (const bool blurBehind : {false, true}) {
            CardRig rig;
            rig.view->setBlurBehind(blurBehind);
            const CardLayout &l = rig.view->cardLayout();
            // Glass with nothing on it: between the text column and the open button.
            const QRect plain(int(l.textColumn.right()) + 2, int(l.card.top()) + 12, 20, 32);
            QImage last = rig.render(1, Qt::white);
            QPoint at;
            double spread = 0, contrast = 21;
            int largestStep = 0;
            for (double t = 0; t < 6; t += GlassNotificationView::decorationFrameSeconds) {
                const double band = rig.view->decorations().shimmerPhase;
                rig.runFrames(1);
                const QImage white = rig.render(1, Qt::white), black = rig.render(1, Qt::black);
                if (rig.view->decorations().shimmerPhase > band)
                    largestStep = std::max(largestStep, largestDifference(white, last, &at));
                last = white;
                for (int i = 0; i < plain.width() * plain.height(); ++i) {
                    const QPoint p = plain.topLeft() + QPoint(i % plain.width(), i / plain.width());
                    spread =
                        std::max(spread, (qRed(white.pixel(p)) - qRed(black.pixel(p))) / 255.0);
                }
                for (const QImage *image : {&white, &black})
                    contrast = std::min({contrast, textContrast(*image, l.nameLine),
                                         textContrast(*image, l.messageLine)});
            }
            QVERIFY2(largestStep <= 5 && (blurBehind || spread <= 0.25) && contrast >= 4.5,
                     qPrintable(QString::asprintf("step %d, spread %.3f, contrast %.2f",
                                                  largestStep, spread, contrast)));
        }
    }

    // What is repainted frame after frame, cleared and painted only within the
    // regions the card asked for, ends as the whole frame painted afresh.
    void repaintsEverythingThatChanges_data()
    {
        QTest::addColumn<std::pair<double, double>>("row"); // dpr, progress
        QTest::newRow("shown @1") << std::pair(1.0, 1.0);
        QTest::newRow("shown @2") << std::pair(2.0, 1.0);
        QTest::newRow("fading in @2") << std::pair(2.0, 0.3);
    }
    void repaintsEverythingThatChanges()
    {
        const auto [dpr, progress] = fetchRow<std::pair<double, double>>();
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

    void fadesWithProgress_data()
    {
        QTest::addColumn<Fade>("row");
        QTest::newRow("no reminder") << Fade{false, 1.0, 0, 0};
        QTest::newRow("just below the fade") << Fade{true, 0.15, 0, 0};
        QTest::newRow("half faded") << Fade{true, 0.4, 60, 180};
        QTest::newRow("open") << Fade{true, 1.0, 200, 255};
    }
    void fadesWithProgress()
    {
        const auto [reminder, progress, minAlpha, maxAlpha] = fetchRow<Fade>();
        CardRig rig(progress, reminder);
        const int alpha = qAlpha(rig.render().pixel(160, 74)); // the card's centre
        QCOMPARE_GE(alpha, minAlpha);
        QCOMPARE_LE(alpha, maxAlpha);
        // A card that cannot be seen has no buttons to click.
        QCOMPARE(rig.view->childAt(QPoint(258, 74)) != nullptr, maxAlpha > 0);
    }

    // What a click at `point` does, and the name assistive tools read there.
    void clicks_data()
    {
        QTest::addColumn<Click>("row");
        QTest::newRow("open button") << Click{{258, 74}, "Open Notes", 1, false};
        QTest::newRow("snooze button") << Click{{294, 74}, "Snooze", 0, true};
        QTest::newRow("between the buttons") << Click{{277, 74}, "", 0, false};
    }
    void clicks()
    {
        const auto [point, name, opened, snoozed] = fetchRow<Click>();
        CardRig rig;
        const WallTime before = rig.store->trackedApps().front().lastUsed;
        QWidget *button = rig.view->childAt(point);
        QCOMPARE(button ? QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name)
                        : QString(),
                 name);
        QWidget *target = button ? button : rig.view.get();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(rig.view.get(), point));
        QCOMPARE(rig.fixture.workspace.opener.opened, QStringList(opened, "/apps/Notes.desktop"));
        QCOMPARE(rig.store->trackedApps().front().lastUsed != before, snoozed);
        QCOMPARE(rig.fixture.panelPosts.count(notifications::collapse), opened || snoozed ? 1 : 0);
    }

    // At the size it ships with, larger and largest, both lines grow, stay on the
    // glass and clear of the buttons, and are drawn anew.
    void followsTheDesktopFont()
    {
        for (const double scale : {1.0, 1.5, 2.0}) {
            CardRig rig;
            const QImage before = rig.render();
            rig.view->setInterfaceFont({"DejaVu Serif", 10 * scale, 10});
            const CardLayout &layout = rig.view->cardLayout();
            QCOMPARE_GE(layout.nameLine.height(), 12 * scale);
            QCOMPARE_GE(layout.messageLine.height(), 10 * scale);
            QVERIFY(layout.card.contains(layout.nameLine.united(layout.messageLine)));
            QCOMPARE_LE(layout.nameLine.right(), layout.openButton.left());
            QVERIFY(rig.render() != before);
        }
    }

    // A notification named after the application, announced once when it drops
    // and once per new reminder; not again for the same one (the store refreshes
    // the card every second), and hidden when it goes.
    void notificationWithNameAndMessage_data()
    {
        QTest::addColumn<Announced>("row");
        QTest::newRow("whole line") << Announced{"Foot", "Foot wants your attention.", false};
        QTest::newRow("cut line") << Announced{"Mousepad", "Mousepad wants your attention.", true};
    }
    void notificationWithNameAndMessage()
    {
        const auto [name, message, cut] = fetchRow<Announced>();
        Card card;
        card.view.show();
        QAccessibleInterface *iface = card.interface();
        QCOMPARE(iface->role(), QAccessible::Notification);
        QVERIFY(iface->state().invisible); // nothing shows yet
        card.accessibility->showReminder(name, message, cut);
        card.accessibility->showReminder(name, message, cut);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->text(QAccessible::Description), message);
        QVERIFY(!iface->state().invisible);
        QCOMPARE(card.view.toolTip(), cut ? message : QString());
        QCOMPARE(card.open->accessibleName(), "Open " + name);
        QCOMPARE(card.open->toolTip(), "Open " + name);
        QCOMPARE(card.snooze->toolTip(), QStringLiteral("Snooze"));
        QCOMPARE(card.count(QAccessible::ObjectShow), 1);
        card.accessibility->showReminder(name, name + " is waiting for you!", false);
        QCOMPARE(card.count(QAccessible::ObjectShow), 2);
        // Dropped with its panel unmapped, it is announced by Qt as the panel
        // maps, not here as well.
        QWidget panel;
        card.accessibility->showReminder({}, {}, false);
        card.view.setParent(&panel);
        card.accessibility->showReminder(name, message, false);
        card.view.setParent(nullptr);
        QCOMPARE(card.count(QAccessible::ObjectShow), 2);
        for (int hides : {2, 2}) {
            card.accessibility->showReminder({}, {}, false);
            QCOMPARE(card.count(QAccessible::ObjectHide), hides);
        }
        QVERIFY(iface->state().invisible);
        QVERIFY(card.view.toolTip().isEmpty());
        QVERIFY(card.aboutCard);
    }
};

QTEST_MAIN(CardViewTest)
#include "card_view_test.moc"
