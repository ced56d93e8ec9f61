// The settings window in the desktop's light and dark appearance and font, its
// reminder actions, names and focus, rendered offscreen.
#include "settings/AddAction.h"
#include "settings/ElidingLabel.h"
#include "settings/ReminderActions.h"
#include "settings/SettingsStyle.h"
#include "settings/ThresholdSection.h"
#include "settings/ThresholdSlider.h"
#include "settings/TitleBar.h"
#include "widget/settings_fakes.h"

#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace nudgewatch;
using namespace nudgewatch::fakes;

namespace {

QColor labelColor(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

QLabel *labelStarting(const QWidget *parent, const QString &start)
{
    for (QLabel *label : parent->findChildren<QLabel *>())
        if (label->text().startsWith(start))
            return label;
    return nullptr;
}

// The colour at `at` in `widget`, as the whole window draws it now.
QColor pixelIn(QWidget *window, const QWidget *widget, QPoint at)
{
    QImage image(window->size(), QImage::Format_ARGB32);
    window->render(&image);
    return image.pixelColor(widget->mapTo(window, at));
}

} // namespace

class SettingsAppearanceTest : public QObject {
    Q_OBJECT
private slots:
    // The neutral colours follow the scheme, live; the named ones never move.
    // Tab reaches every control in reading order, a row added later and the
    // pause button included, and shows a 2-pixel ring in the highlight colour.
    void bothAppearances_data()
    {
        QTest::addColumn<ColorScheme>("scheme");
        QTest::addColumn<bool>("darkBackground");
        QTest::newRow("light") << ColorScheme::Light << false;
        QTest::newRow("dark") << ColorScheme::Dark << true;
    }
    void bothAppearances()
    {
        QFETCH(ColorScheme, scheme);
        QFETCH(bool, darkBackground);
        // Built in the other scheme, then switched: what a live change does.
        WindowRig rig(
            {.tracked = 1,
             .scheme = scheme == ColorScheme::Dark ? ColorScheme::Light : ColorScheme::Dark});
        rig.picker.answer = {"/apps/Bravo.desktop"};
        rig.window->openPicker();
        QCoreApplication::processEvents();
        rig.appearance.setScheme(scheme);
        QCOMPARE(rig.window->colorScheme(), scheme);

        QWidget *window = rig.window.get();
        const QColor background = pixelIn(window, window, QPoint(window->width() - 3, 80));
        QCOMPARE(background.lightness() < 80, darkBackground);
        QCOMPARE(background.lightness() > 200, !darkBackground);

        // Texts: primary at full strength, secondary at 60 %, in the scheme's colour.
        TitleBar *title = rig.window->titleBar();
        QLabel *name = labelStarting(title, "Nudgewatch"),
               *subtitle = labelStarting(title, "Track");
        QVERIFY(name && subtitle);
        const QColor primary = labelColor(name);
        QCOMPARE(primary.lightness() > 200, darkBackground);
        QCOMPARE(primary.alphaF(), 1.0);
        QCOMPARE(labelColor(subtitle).rgb(), primary.rgb());
        QVERIFY(qAbs(labelColor(subtitle).alphaF() - 0.6) < 0.01);
        AppRow *alpha = rig.row(0), *bravo = rig.row(1); // Bravo added after the window was built
        QCOMPARE(labelColor(bravo->nameLabel()).rgb(), primary.rgb());
        QCOMPARE(labelColor(bravo->statusLabel()).rgb(), primary.rgb());

        // Named colours: the monitoring green, the add action's blue to purple.
        QCOMPARE(labelColor(title->statusLabel()), style::green);
        AddAction *add = rig.window->addAction();
        const QColor left = pixelIn(window, add, QPoint(4, add->height() / 2));
        const QColor right = pixelIn(window, add, QPoint(add->width() - 5, add->height() / 2));
        QVERIFY2(qAbs(left.red() - style::blue.red()) < 12 && qAbs(left.blue() - 255) < 12,
                 qPrintable(left.name()));
        QVERIFY2(qAbs(right.red() - style::purple.red()) < 12 &&
                     qAbs(right.green() - style::purple.green()) < 12,
                 qPrintable(right.name()));
        QWidget *slider = rig.window->thresholdSection()->slider();
        QCOMPARE(slider->palette().color(QPalette::Highlight), style::blue);

        // Names and the keyboard.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(alpha->openButton()->accessibleName(), QStringLiteral("Open Alpha"));
        QCOMPARE(bravo->removeButton()->accessibleName(), QStringLiteral("Stop tracking Bravo"));
        QCOMPARE(bravo->removeButton()->toolTip(), QStringLiteral("Stop tracking Bravo"));
        QCOMPARE(QApplication::focusWidget(), slider);
        const QWidgetList order{alpha->openButton(),
                                alpha->removeButton(),
                                bravo->openButton(),
                                bravo->removeButton(),
                                rig.window->addAction(),
                                rig.window->pauseButton(),
                                slider};
        const QColor highlight = window->palette().color(QPalette::Highlight);
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
            // The ring's middle row, halfway along the top edge, in the highlight colour.
            const QColor ring = pixelIn(window, next, QPoint(next->width() / 2, 1));
            QVERIFY2(qAbs(ring.red() - highlight.red()) < 40 &&
                         qAbs(ring.green() - highlight.green()) < 40 &&
                         qAbs(ring.blue() - highlight.blue()) < 40,
                     qPrintable(next->accessibleName() + " " + ring.name()));
        }
        QSignalSpy quit(rig.window.get(), &MainWindow::quitRequested);
        QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.size(), 1);
    }

    // The desktop's font, known when the window is built or told later (the
    // portal answers later) and changed live: every size set follows, the
    // window grows, and every text still fits in its place at the narrowest
    // width, on one line or wrapped.
    void fontFollowedAndEveryTextWhole_data()
    {
        QTest::addColumn<double>("built");
        QTest::addColumn<double>("scale"); // told afterwards, with another family
        QTest::addColumn<QSize>("size");   // within the 800 x 800 screen, unless its text is wider
        QTest::newRow("default") << 1.0 << 1.0 << QSize(520, 560);
        QTest::newRow("1.5 times, later") << 1.0 << 1.5 << QSize(780, 800);
        QTest::newRow("twice") << 2.0 << 2.0 << QSize(800, 800);
        QTest::newRow("twice, then back") << 2.0 << 1.0 << QSize(520, 560);
    }
    void fontFollowedAndEveryTextWhole()
    {
        QFETCH(double, built);
        QFETCH(double, scale);
        QFETCH(QSize, size);
        WindowRig rig({.fontScale = built});
        QLabel *status = rig.window->titleBar()->statusLabel();
        QCOMPARE(status->font().pixelSize(), qRound(10 * built));
        rig.appearance.font = {QStringLiteral("DejaVu Serif"), 10 * scale, 10};
        emit rig.appearance.interfaceFontChanged(rig.appearance.font);
        QCOMPARE(status->font().pixelSize(), qRound(10 * scale));
        QCOMPARE(rig.row(0)->nameLabel()->font().pixelSize(), qRound(14 * scale));
        QCOMPARE(status->font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(rig.window->titleBar()->countLabel()->font().families(), // its own face
                 QFontDatabase::systemFont(QFontDatabase::FixedFont).families());
        QCOMPARE(rig.window->size(), size.expandedTo(rig.window->minimumSize()));
        rig.remind();
        rig.window->resize(rig.window->minimumSize()); // the narrowest the user can make it
        QCoreApplication::processEvents();
        int checked = 0;
        for (QLabel *label : rig.window->findChildren<QLabel *>()) {
            if (!label->isVisibleTo(rig.window.get()) || label->text().isEmpty() ||
                qobject_cast<ElidingLabel *>(label))
                continue;
            const QFontMetrics metrics(label->font());
            const QRect needed =
                label->wordWrap()
                    ? metrics.boundingRect(QRect(0, 0, label->width(), 100000), Qt::TextWordWrap,
                                           label->text())
                    : QRect(0, 0, metrics.horizontalAdvance(label->text()), metrics.height());
            QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                     qPrintable(label->text()));
            ++checked;
        }
        QCOMPARE_GE(checked, 10);
        for (QPushButton *button : rig.window->findChildren<QPushButton *>()) {
            if (button->isVisibleTo(rig.window.get()))
                QCOMPARE_GE(button->width(), button->sizeHint().width());
        }
    }

    // While a reminder shows, the window and the top of the tray's menu offer
    // what the card does; each ends it, and a late one from a menu left open is harmless.
    void reminderActionsEndTheReminder_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("snooze");
        QTest::newRow("window, Snooze") << false << true;
        QTest::newRow("window, Open") << false << false;
        QTest::newRow("tray, Snooze") << true << true;
        QTest::newRow("tray, Open") << true << false;
    }
    void reminderActionsEndTheReminder()
    {
        QFETCH(bool, tray);
        QFETCH(bool, snooze);
        WindowRig rig;
        QMenu menu;
        QAction *settings = menu.addAction(QStringLiteral("Settings\u2026"));
        ReminderMenuEntries entries(*rig.store, menu);
        ReminderActions *actions = rig.window->reminderActions();
        const auto offered = [&] {
            return QList<bool>{actions->isVisibleTo(rig.window.get()),
                               entries.openAction()->isVisible(),
                               entries.snoozeAction()->isVisible()};
        };
        QCOMPARE(menu.actions().indexOf(settings), 3);
        QCOMPARE(offered(), QList<bool>(3, false));
        rig.remind();
        QVERIFY(rig.store->alertApp());
        QCOMPARE(offered(), QList<bool>(3, true));
        QCOMPARE(actions->openButton()->accessibleName(), QStringLiteral("Open Bravo"));
        QCOMPARE(actions->snoozeButton()->accessibleName(), QStringLiteral("Snooze"));
        QCOMPARE(actions->messageLabel()->text(), rig.store->alertMessage());
        QCOMPARE(entries.openAction()->text(), QStringLiteral("Open Bravo"));
        QCOMPARE(menu.actions().indexOf(entries.openAction()), 0);
        const auto before = rig.store->trackedApps()[1].lastUsed;
        if (tray)
            (snooze ? entries.snoozeAction() : entries.openAction())->trigger();
        else
            QTest::mouseClick(snooze ? actions->snoozeButton() : actions->openButton(),
                              Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!rig.store->alertApp());
        QCOMPARE(rig.store->trackedApps()[1].lastUsed != before, snooze);
        QCOMPARE(rig.fixture.workspace.opener.opened,
                 QStringList(snooze ? 0 : 1, QStringLiteral("/apps/Bravo.desktop")));
        QCOMPARE(offered(), QList<bool>(3, false));
        entries.snoozeAction()->trigger();
        QVERIFY(!rig.store->alertApp());
        QCOMPARE(rig.store->trackedApps()[1].lastUsed != before, snooze);
    }
};

QTEST_MAIN(SettingsAppearanceTest)
#include "settings_appearance_test.moc"
