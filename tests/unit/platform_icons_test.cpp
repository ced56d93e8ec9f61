// Icons of desktop entries: theme, hicolor, pixmaps, files, the generic fallback;
// the theme the desktop names.

#include "fakes/Fifo.h"
#include "platform/linux/DesktopIcons.h"
#include "platform/linux/IconLookup.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace nudgewatch;

namespace {

bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(text) == text.size();
}

bool writeSquare(const QString &path, QColor color, int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    return QDir().mkpath(QFileInfo(path).path()) && image.save(path);
}

} // namespace

class IconsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<DesktopIcons> m_icons;
    qreal m_ratio = 1.0;

    // The icon of a new entry whose Icon= is `value` (%DIR%: the test's folder).
    QImage iconOf(QByteArray value)
    {
        const QString path = m_dir.filePath("applications/entry.desktop");
        value.replace("%DIR%", QFile::encodeName(m_dir.path()));
        const QByteArray text =
            "[Desktop Entry]\nType=Application\nName=x\nExec=true\nIcon=" + value;
        return writeText(path, text) ? m_icons->iconForFile(path) : QImage();
    }

private slots:
    void initTestCase()
    {
        const QString icons = m_dir.filePath("icons");
        const QByteArray index = "\nDirectories=48x48/apps\n[48x48/apps]\nSize=48\nType=Fixed\n";
        QVERIFY(writeText(icons + "/nwtest/index.theme", "[Icon Theme]\nInherits=hicolor" + index));
        QVERIFY(writeText(icons + "/hicolor/index.theme", "[Icon Theme]" + index));
        QVERIFY(writeSquare(icons + "/nwtest/48x48/apps/nw-theme-red.png", Qt::red, 48));
        QVERIFY(writeSquare(icons + "/hicolor/48x48/apps/nw-theme-red.png", Qt::green, 48));
        QVERIFY(writeSquare(icons + "/hicolor/48x48/apps/nw-hicolor-green.png", Qt::green, 48));
        QVERIFY(writeSquare(m_dir.filePath("pixmaps/nw-pixmap-blue.png"), Qt::blue, 32));
        QVERIFY(writeSquare(m_dir.filePath("files/yellow.png"), Qt::yellow, 16));
        QVERIFY(writeText(m_dir.filePath("files/broken.png"), "not a PNG at all"));
        m_icons = std::make_unique<DesktopIcons>(
            IconLookup{"nwtest", {icons}, {m_dir.filePath("pixmaps")}}, [this] { return m_ratio; });
    }

    void resolution_data()
    {
        QTest::addColumn<QByteArray>("icon");
        QTest::addColumn<QString>("colour"); // empty: the generic icon
        QTest::newRow("the desktop's theme first") << QByteArray("nw-theme-red") << "red";
        QTest::newRow("then hicolor") << QByteArray("nw-hicolor-green") << "lime";
        QTest::newRow("pixmaps, scaled up") << QByteArray("nw-pixmap-blue") << "blue";
        QTest::newRow("absolute path, scaled up")
            << QByteArray("%DIR%/files/yellow.png") << "yellow";
        QTest::newRow("file that does not decode") << QByteArray("%DIR%/files/broken.png") << "";
    }
    void resolution()
    {
        QFETCH(QByteArray, icon);
        QFETCH(QString, colour);
        const QImage image = iconOf(icon);
        QCOMPARE(image.size(), QSize(48, 48));
        if (colour.isEmpty())
            QCOMPARE(image, m_icons->genericIcon());
        else // filled out to the full square
            QVERIFY(image.pixelColor(24, 24) == QColor(colour) &&
                    image.pixelColor(2, 2) == QColor(colour));
    }

    // An icon only ever opens regular files: a FIFO in its place, or named by
    // an SVG, is not waited on. An SVG's references within itself still draw.
    void iconsOpenNothingButFiles_data()
    {
        QTest::addColumn<QByteArray>("icon");
        QTest::addColumn<QString>("colour"); // empty: the generic icon
        QTest::newRow("absolute path") << QByteArray("%DIR%/fifo.png") << "";
        QTest::newRow("theme file") << QByteArray("nw-fifo") << "";
        QTest::newRow("SVG naming a file") << QByteArray("%DIR%/files/refers.svg") << "";
        QTest::newRow("SVG, inline references") << QByteArray("%DIR%/files/inline.svg") << "red";
    }
    void iconsOpenNothingButFiles()
    {
        QFETCH(QByteArray, icon);
        QFETCH(QString, colour);
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' "
                               "xmlns:xlink='http://www.w3.org/1999/xlink' width='48' height='48'>";
        QVERIFY(writeText(m_dir.filePath("files/refers.svg"),
                          svg + "<image width='48' height='48' xlink:href='../fifo.png'/></svg>"));
        QVERIFY(writeText(m_dir.filePath("files/inline.svg"),
                          svg + "<defs><rect id='r' width='48' height='48' fill='red'/></defs>"
                                "<use xlink:href='#r'/></svg>"));
        fakes::Fifo fifo(m_dir.filePath("fifo.png"));
        fakes::Fifo themed(m_dir.filePath("icons/hicolor/48x48/apps/nw-fifo.png"));
        QVERIFY(fifo.made() && themed.made());
        const QImage image = iconOf(icon);
        if (colour.isEmpty())
            QCOMPARE(image, m_icons->genericIcon());
        else
            QCOMPARE(image.pixelColor(24, 24), QColor(colour));
        QVERIFY(!fifo.released() && !themed.released());
    }

    // While the theme is deferred only what needs no theme resolves; nothing
    // is remembered, so asking again afterwards gives the theme's icon.
    void deferredThemeResolvesWithoutIt()
    {
        m_icons->setThemeDeferred(true);
        QCOMPARE(iconOf("nw-theme-red"), m_icons->genericIcon());
        QCOMPARE(iconOf("nw-pixmap-blue").pixelColor(24, 24), QColor(Qt::blue));
        m_icons->setThemeDeferred(false);
        QCOMPARE(iconOf("nw-theme-red").pixelColor(24, 24), QColor(Qt::red));
    }

    void genericIconStandsInForWhatIsNoEntry()
    {
        QVERIFY(m_icons->genericIcon().pixelColor(24, 40).alpha() == 255); // the drawing's body
        for (const QString &path : {QStringLiteral("/nonexistent/x.desktop"), QDir::tempPath()})
            QCOMPARE(m_icons->iconForFile(path), m_icons->genericIcon());
    }

    void pixelRatioScalesTheIcons()
    {
        m_ratio = 1.5;
        QCOMPARE(iconOf("nw-theme-red").size(), QSize(72, 72));
        QCOMPARE(m_icons->genericIcon().size(), QSize(72, 72));
        m_ratio = qQNaN(); // nonsense, taken as 1
        QCOMPARE(iconOf("nw-theme-red").size(), QSize(48, 48));
        m_ratio = 1.0;
    }

    // The desktop's icon theme: GTK 3, GTK 4, then KDE settings, the user's first.
    void themeFromSettingsFiles()
    {
        QTemporaryDir d;
        const auto write = [&](const char *file, const char *text) {
            return writeText(d.filePath(file), text);
        };
        QVERIFY(write("user/kdeglobals", "[General]\nTheme=x\n[Icons]\nTheme=kd"));
        QCOMPARE(desktopIconTheme({d.filePath("user"), d.filePath("system")}), "kd");
        QVERIFY(write("system/gtk-4.0/settings.ini", "[Settings]\r\ngtk-icon-theme-name=Four\r\n"));
        QCOMPARE(desktopIconTheme({d.filePath("user"), d.filePath("system")}), "Four");
        QVERIFY(write("system/gtk-3.0/settings.ini", "[Settings]\ngtk-icon-theme-name=Site"));
        QVERIFY(write("user/gtk-3.0/settings.ini",
                      "[Settings]\n#gtk-icon-theme-name=Old\n gtk-icon-theme-name = \"My Own\""));
        QCOMPARE(desktopIconTheme({d.filePath("user"), d.filePath("system")}), "My Own");
    }
};

QTEST_MAIN(IconsTest)
#include "platform_icons_test.moc"
