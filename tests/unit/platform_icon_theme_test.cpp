// The desktop's icon theme setting, read from GTK and KDE settings files.

#include "platform/linux/IconLookup.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace nudgewatch;

class IconThemeTest : public QObject {
    Q_OBJECT
private slots:
    void iniValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "[Settings]\ngtk-icon-theme-name=Adwaita\n"
                               << "Adwaita";
        QTest::newRow("spaces and quotes")
            << "[Settings]\n  gtk-icon-theme-name = \"Papirus Dark\"  \n"
            << "Papirus Dark";
        QTest::newRow("other group") << "[Other]\ngtk-icon-theme-name=Wrong\n[Settings]\nx=1\n"
                                     << "";
        QTest::newRow("commented out")
            << "[Settings]\n#gtk-icon-theme-name=Old\n;gtk-icon-theme-name=Older\n"
            << "";
        QTest::newRow("longer key with the same start")
            << "[Settings]\ngtk-icon-theme-name-extra=No\ngtk-icon-theme-name=Yes\n"
            << "Yes";
        QTest::newRow("empty text") << ""
                                    << "";
        QTest::newRow("CRLF line ends") << "[Settings]\r\ngtk-icon-theme-name=Breeze\r\n"
                                        << "Breeze";
    }
    void iniValues()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(iniValue(text, QStringLiteral("Settings"), QStringLiteral("gtk-icon-theme-name")),
                 expected);
    }

    void settingsFilesInOrder_data()
    {
        QTest::addColumn<QStringList>("files"); // "dir|relative path|contents"
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing") << QStringList{} << "";
        QTest::newRow("user GTK 3 before system GTK 3")
            << QStringList{"user|gtk-3.0/settings.ini|[Settings]\ngtk-icon-theme-name=Mine",
                           "system|gtk-3.0/settings.ini|[Settings]\ngtk-icon-theme-name=Site"}
            << "Mine";
        QTest::newRow("system GTK 3 when the user has none")
            << QStringList{"system|gtk-3.0/settings.ini|[Settings]\ngtk-icon-theme-name=Site"}
            << "Site";
        QTest::newRow("GTK 4 when GTK 3 names none")
            << QStringList{"user|gtk-3.0/settings.ini|[Settings]\ngtk-theme-name=X",
                           "user|gtk-4.0/settings.ini|[Settings]\ngtk-icon-theme-name=Four"}
            << "Four";
        QTest::newRow("KDE")
            << QStringList{"user|kdeglobals|[General]\nName=x\n[Icons]\nTheme=breeze-dark"}
            << "breeze-dark";
    }
    void settingsFilesInOrder()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &file : files) {
            const QStringList parts = file.split(QLatin1Char('|'));
            const QString path = dir.path() + '/' + parts[0] + '/' + parts[1];
            QDir().mkpath(QFileInfo(path).path());
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(parts[2].toUtf8());
        }
        QCOMPARE(desktopIconTheme({dir.path() + "/user", dir.path() + "/system"}), expected);
    }

    void lookupFromEnvironment()
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), QStringLiteral("/home/u"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           QStringLiteral("/nonexistent/config"));
        environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("/nonexistent/xdg"));
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/d/one"));
        const IconLookup lookup = IconLookup::fromEnvironment(environment);
        QCOMPARE(lookup.themeSearchPaths,
                 QStringList({"/home/u/.icons", "/home/u/.local/share/icons", "/d/one/icons"}));
        QCOMPARE(lookup.pixmapDirs, QStringList({"/home/u/.local/share/pixmaps", "/d/one/pixmaps",
                                                 "/usr/share/pixmaps"}));
    }
};

QTEST_GUILESS_MAIN(IconThemeTest)
#include "platform_icon_theme_test.moc"
