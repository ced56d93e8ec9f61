// Where the panel's window goes and where the card sits in it, without a window.
#include "notch/PanelGeometry.h"

#include <QTest>

#include <cmath>

using namespace nudgewatch;

class PanelGeometryTest : public QObject {
    Q_OBJECT
private slots:
    void windowGeometry_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<double>("height");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<bool>("mapped");
        const QRect screen(0, 0, 1512, 982);
        QTest::newRow("closed") << screen << 0.0 << QRect(596, 0, 320, 0) << false;
        QTest::newRow("open") << screen << 110.0 << QRect(596, 0, 320, 110) << true;
        QTest::newRow("rounds to whole points") << screen << 1.68 << QRect(596, 0, 320, 2) << true;
        QTest::newRow("under a point is unmapped")
            << screen << 0.9 << QRect(596, 0, 320, 1) << false;
        QTest::newRow("primary screen right of and below another")
            << QRect(1920, 1080, 1280, 1024) << 55.0 << QRect(2400, 1080, 320, 55) << true;
        QTest::newRow("not a number")
            << QRect(0, 0, 800, 600) << std::nan("") << QRect(240, 0, 320, 0) << false;
    }
    void windowGeometry()
    {
        QFETCH(QRect, screen);
        QFETCH(double, height);
        QFETCH(QRect, window);
        QFETCH(bool, mapped);
        QCOMPARE(panelWindowGeometry(screen, height), window);
        QCOMPARE(panelIsMapped(height), mapped);
    }

    void cardSurfaceAnchoredToBottom()
    {
        QCOMPARE(cardSurfaceInPanel(110), QRect(0, 0, 320, 110));
        QCOMPARE(cardSurfaceInPanel(2), QRect(0, -108, 320, 110));
        QCOMPARE(cardSurfaceInPanel(111), QRect(0, 1, 320, 110)); // a strip above at overshoot
    }
};

QTEST_APPLESS_MAIN(PanelGeometryTest)
#include "notch_panel_geometry_test.moc"
