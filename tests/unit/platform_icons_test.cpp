// Icons of desktop entries: theme, hicolor, pixmaps, files, the generic fallback;
// the theme the desktop names.

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
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

bool writeSquare(const QString &path, QColor color, int side)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    return image.save(path);
}

QByteArray themeIndex(const QByteArray &name, const QByteArray &inherits)
{
    return "[Icon Theme]\nName=" + name + "\nInherits=" + inherits +
           "\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\nType=Fixed\n";
}

} // namespace

class IconsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<DesktopIcons> m_icons;
    qreal m_ratio = 1.0;

    QString entry(const QString &name, const QByteArray &iconLine)
    {
        const QString path =
            m_dir.path() + QStringLiteral("/applications/") + name + QStringLiteral(".desktop");
        writeText(path, "[Desktop Entry]\nType=Application\nName=" + name.toUtf8() +
                            "\nExec=true\n" + iconLine);
        return path;
    }

private slots:
    void initTestCase()
    {
        const QString icons = m_dir.path() + QStringLiteral("/icons");
        QVERIFY(writeText(icons + "/nwtest/index.theme", themeIndex("nwtest", "hicolor")));
        QVERIFY(writeText(icons + "/hicolor/index.theme", themeIndex("hicolor", "")));
        QVERIFY(writeSquare(icons + "/nwtest/48x48/apps/nw-theme-red.png", Qt::red, 48));
        QVERIFY(writeSquare(icons + "/hicolor/48x48/apps/nw-hicolor-green.png", Qt::green, 48));
        QVERIFY(writeSquare(icons + "/hicolor/48x48/apps/nw-theme-red.png", Qt::green, 48));
        QVERIFY(writeSquare(m_dir.path() + "/pixmaps/nw-pixmap-blue.png", Qt::blue, 32));
        QVERIFY(writeSquare(m_dir.path() + "/files/yellow.png", Qt::yellow, 16));
        QVERIFY(writeText(m_dir.path() + "/files/broken.png", "not a PNG at all"));
        IconLookup lookup;
        lookup.themeName = QStringLiteral("nwtest");
        lookup.themeSearchPaths = {icons};
        lookup.pixmapDirs = {m_dir.path() + QStringLiteral("/pixmaps")};
        m_icons = std::make_unique<DesktopIcons>(lookup, [this] { return m_ratio; });
    }

    void resolution_data()
    {
        QTest::addColumn<QByteArray>("iconLine");
        QTest::addColumn<QColor>("centre"); // invalid: the generic icon
        QTest::newRow("name in the desktop's theme wins over hicolor")
            << QByteArray("Icon=nw-theme-red") << QColor(Qt::red);
        QTest::newRow("name only in hicolor")
            << QByteArray("Icon=nw-hicolor-green") << QColor(Qt::green);
        QTest::newRow("name only in pixmaps, scaled up")
            << QByteArray("Icon=nw-pixmap-blue") << QColor(Qt::blue);
        QTest::newRow("absolute path, scaled up")
            << QByteArray("Icon=%FILES%/yellow.png") << QColor(Qt::yellow);
        QTest::newRow("absolute path that does not decode")
            << QByteArray("Icon=%FILES%/broken.png") << QColor();
        QTest::newRow("no Icon key") << QByteArray() << QColor();
    }
    void resolution()
    {
        QFETCH(QByteArray, iconLine);
        QFETCH(QColor, centre);
        iconLine.replace("%FILES%", QFile::encodeName(m_dir.path() + QStringLiteral("/files")));
        const QImage image = m_icons->iconForFile(
            entry(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_'), iconLine));
        QCOMPARE(image.size(), QSize(48, 48));
        if (centre.isValid()) {
            QCOMPARE(image.pixelColor(24, 24), centre);
            QCOMPARE(image.pixelColor(2, 2), centre); // filled out to the full square
        } else {
            QCOMPARE(image, m_icons->genericIcon());
        }
    }

    // While the theme is deferred only what needs no theme resolves; nothing
    // is remembered, so asking again afterwards gives the theme's icon.
    void deferredThemeResolvesWithoutIt_data()
    {
        QTest::addColumn<QByteArray>("iconLine");
        QTest::addColumn<QColor>("deferred"); // invalid: the generic icon
        QTest::addColumn<QColor>("afterwards");
        QTest::newRow("theme name")
            << QByteArray("Icon=nw-theme-red") << QColor() << QColor(Qt::red);
        QTest::newRow("pixmap name")
            << QByteArray("Icon=nw-pixmap-blue") << QColor(Qt::blue) << QColor(Qt::blue);
    }
    void deferredThemeResolvesWithoutIt()
    {
        QFETCH(QByteArray, iconLine);
        QFETCH(QColor, deferred);
        QFETCH(QColor, afterwards);
        const QString path =
            entry(QStringLiteral("deferred_") +
                      QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_'),
                  iconLine);
        m_icons->setThemeDeferred(true);
        const QImage early = m_icons->iconForFile(path);
        m_icons->setThemeDeferred(false);
        const QImage late = m_icons->iconForFile(path);
        if (deferred.isValid())
            QCOMPARE(early.pixelColor(24, 24), deferred);
        else
            QCOMPARE(early, m_icons->genericIcon());
        QCOMPARE(late.pixelColor(24, 24), afterwards);
    }

    void genericIconIsDrawn()
    {
        const QImage generic = m_icons->genericIcon();
        QVERIFY(generic.pixelColor(24, 40).alpha() == 255); // the body of the drawing
        for (const QString &path : {QStringLiteral("/nonexistent/x.desktop"), QDir::tempPath()})
            QCOMPARE(m_icons->iconForFile(path), generic); // not an entry
    }

    void pixelRatio_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("pixels");
        QTest::newRow("1.5") << 1.5 << 72;
        QTest::newRow("nonsense ratio treated as 1") << qreal(qQNaN()) << 48;
    }
    void pixelRatio()
    {
        QFETCH(qreal, ratio);
        QFETCH(int, pixels);
        m_ratio = ratio;
        const QImage image =
            m_icons->iconForFile(entry(QStringLiteral("ratio"), "Icon=nw-theme-red"));
        const QImage generic = m_icons->genericIcon();
        m_ratio = 1.0;
        QCOMPARE(image.size(), QSize(pixels, pixels));
        QCOMPARE(image.deviceIndependentSize(), QSizeF(48, 48));
        QCOMPARE(generic.size(), QSize(pixels, pixels));
        QCOMPARE(image.pixelColor(pixels / 2, pixels / 2), QColor(Qt::red));
    }

    // The desktop's icon theme, from GTK and KDE settings files, the user's first.
    void themeFromSettingsFiles_data()
    {
        QTest::addColumn<QStringList>("files"); // "dir|relative path|contents"
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing") << QStringList{} << "";
        QTest::newRow("user GTK 3 before system GTK 3, spaces and quotes")
            << QStringList{"user|gtk-3.0/settings.ini|[Settings]\n gtk-icon-theme-name = \"My "
                           "Own\"",
                           "system|gtk-3.0/settings.ini|[Settings]\ngtk-icon-theme-name=Site"}
            << "My Own";
        QTest::newRow("GTK 4 when GTK 3 names none, CRLF")
            << QStringList{"user|gtk-3.0/settings.ini|[Settings]\n#gtk-icon-theme-name=Old",
                           "user|gtk-4.0/settings.ini|[Settings]\r\ngtk-icon-theme-name=Four\r\n"}
            << "Four";
        QTest::newRow("KDE")
            << QStringList{"user|kdeglobals|[General]\nTheme=x\n[Icons]\nTheme=breeze-dark"}
            << "breeze-dark";
    }
    void themeFromSettingsFiles()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &file : files) {
            const QStringList parts = file.split(QLatin1Char('|'));
            QVERIFY(writeText(dir.path() + '/' + parts[0] + '/' + parts[1], parts[2].toUtf8()));
        }
        QCOMPARE(desktopIconTheme({dir.path() + "/user", dir.path() + "/system"}), expected);
    }
};

QTEST_MAIN(IconsTest)
#include "platform_icons_test.moc"
