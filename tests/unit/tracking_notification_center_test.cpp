// Notifications by name, to observers that may go away at any time.
#include "tracking/NotificationCenter.h"

#include <QTest>

using namespace nudgewatch;

class NotificationCenterTest : public QObject {
    Q_OBJECT
private slots:
    void deliversToObserversOfTheNameOnly()
    {
        NotificationCenter center;
        QObject owner;
        QStringList seen;
        center.addObserver(notifications::expand, &owner,
                           [&](const QVariantMap &) { seen << "expand"; });
        center.addObserver(notifications::progress, &owner,
                           [&](const QVariantMap &info) { seen << info.value("p").toString(); });
        center.post(notifications::collapse);
        center.post(notifications::expand);
        center.post(notifications::progress, {{notifications::progressKey, 0.5}});
        QCOMPARE(seen, QStringList({"expand", "0.5"}));
    }

    // An observer whose owner is gone is never called, even when the owner goes
    // in the middle of a post.
    void observerMayDestroyAnotherOwnerDuringAPost()
    {
        NotificationCenter center;
        auto second = std::make_unique<QObject>();
        QObject first;
        int secondCalls = 0;
        center.addObserver(notifications::expand, &first,
                           [&](const QVariantMap &) { second.reset(); });
        center.addObserver(notifications::expand, second.get(),
                           [&](const QVariantMap &) { ++secondCalls; });
        center.post(notifications::expand);
        QCOMPARE(secondCalls, 0);
    }
};

QTEST_GUILESS_MAIN(NotificationCenterTest)
#include "tracking_notification_center_test.moc"
