#pragma once

// Test doubles for the settings window: the installed-application catalog, a
// picker that answers with a scripted choice, the desktop's appearance, and a
// shown window over a store of fakes.

#include "core/ApplicationCatalog.h"
#include "fakes/Fakes.h"
#include "settings/AppRow.h"
#include "settings/ApplicationPicker.h"
#include "settings/AppsSection.h"
#include "settings/MainWindow.h"

#include <QApplication>

namespace nudgewatch::fakes {

class FakeApplicationCatalog final : public ApplicationCatalog {
    Q_OBJECT
public:
    QList<InstalledApplication> installedApplications() const override { return applications; }
    // Installs `names` as /apps/<name>.desktop, in place of what was there.
    void install(const QStringList &names)
    {
        applications.clear();
        for (const QString &name : names)
            applications.append(
                {name.toLower() + ".desktop", name, appPath(name), "About " + name});
        emit changed();
    }
    QList<InstalledApplication> applications;
};

class ScriptedPicker final : public ApplicationPicker {
public:
    void pick(QWidget *, int limit, const QStringList &tracked,
              std::function<void(const QStringList &)> chosen) override
    {
        lastLimit = limit;
        lastTracked = tracked;
        chosen(answer);
    }
    QStringList answer;
    int lastLimit = -1;
    QStringList lastTracked;
};

class FakeAppearance final : public DesktopAppearance {
public:
    ColorScheme colorScheme() const override { return scheme; }
    InterfaceFont interfaceFont() const override { return font; }
    void setScheme(ColorScheme s) { emit colorSchemeChanged(scheme = s); }
    ColorScheme scheme = ColorScheme::Light;
    InterfaceFont font;
};

struct WindowOptions {
    int tracked = 2; // the first of Alpha, Bravo, Charlie, Delta and Echo
    double threshold = 60;
    ColorScheme scheme = ColorScheme::Light;
    double fontScale = 1.0;           // of the desktop's default 10 points
    UserDefaults *defaults = nullptr; // in place of the fake's
};

// A shown window over a store of fakes, with Alpha to Echo installed under /apps.
struct WindowRig {
    explicit WindowRig(WindowOptions o = {})
    {
        const QStringList paths = fixture.install({"Alpha", "Bravo", "Charlie", "Delta", "Echo"});
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, paths.mid(0, o.tracked));
        fixture.defaults.values.insert(defaultsKeys::idleThreshold, o.threshold);
        store = fixture.makeStore(o.defaults);
        appearance.scheme = o.scheme;
        if (o.fontScale != 1.0)
            appearance.font = {QApplication::font().family(), 10 * o.fontScale, 10};
        window = std::make_unique<MainWindow>(*store, picker, fixture.windowSystem, &appearance);
        window->show();
        QCoreApplication::processEvents();
    }
    // Lets Bravo idle past the threshold with Alpha in front: a reminder for Bravo shows.
    void remind()
    {
        store->startMonitoring();
        fixture.workspace.activate({"Alpha", "/apps/Alpha.desktop"});
        fixture.scheduler.advance(AppTrackerStore::defaultIdleThreshold + 1);
        QCoreApplication::processEvents();
    }
    AppRow *row(int i) const { return window->appsSection()->rows()[std::size_t(i)]; }
    bool shown(const QWidget *w) const { return w->isVisibleTo(window.get()); }
    StoreFixture fixture;
    ScriptedPicker picker;
    FakeAppearance appearance;
    std::unique_ptr<AppTrackerStore> store;
    std::unique_ptr<MainWindow> window;
};

} // namespace nudgewatch::fakes
