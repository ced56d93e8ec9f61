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

    void setApplications(QList<InstalledApplication> list)
    {
        applications = std::move(list);
        emit changed();
    }

    QList<InstalledApplication> applications;
};

inline InstalledApplication installedApplication(const QString &name)
{
    return {name.toLower() + QStringLiteral(".desktop"), name,
            QStringLiteral("/apps/%1.desktop").arg(name), QStringLiteral("About ") + name};
}

class ScriptedPicker final : public ApplicationPicker {
public:
    void pick(QWidget *, int limit, const QStringList &tracked,
              std::function<void(const QStringList &)> chosen) override
    {
        ++calls;
        lastLimit = limit;
        lastTracked = tracked;
        if (!cancel)
            chosen(answer);
    }

    QStringList answer;
    bool cancel = false;
    int calls = 0;
    int lastLimit = -1;
    QStringList lastTracked;
};

} // namespace nudgewatch::fakes
