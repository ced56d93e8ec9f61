#pragma once

// Test doubles for the settings window: the installed-application catalog and
// a picker that answers with a scripted choice.

#include "core/ApplicationCatalog.h"
#include "settings/ApplicationPicker.h"

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
            applications.append({name.toLower() + ".desktop", name,
                                 QStringLiteral("/apps/%1.desktop").arg(name), "About " + name});
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

} // namespace nudgewatch::fakes
