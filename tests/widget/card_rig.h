#pragma once

#include "card/GlassNotificationView.h"
#include "fakes/Fakes.h"

#include <QCoreApplication>
#include <QImage>

namespace nudgewatch::fakes {

// A shown card over a store of fakes tracking Notes, at `progress` of its fade,
// with or without a reminder.
struct CardRig {
    StoreFixture fixture;
    std::unique_ptr<AppTrackerStore> store;
    std::unique_ptr<GlassNotificationView> view;

    explicit CardRig(double progress = 1.0, bool reminder = true)
    {
        fixture.defaults.values.insert(defaultsKeys::trackedAppPaths, fixture.install({"Notes"}));
        store = fixture.makeStore();
        view = std::make_unique<GlassNotificationView>(*store, fixture.scheduler);
        view->show();
        store->startMonitoring();
        if (reminder)
            fixture.scheduler.advance(AppTrackerStore::defaultIdleThreshold);
        setProgress(progress);
    }
    void setProgress(double progress)
    {
        view->setProgress(progress);
        QCoreApplication::processEvents();
    }
    void runFrames(int frames)
    {
        for (int i = 0; i < frames; ++i)
            fixture.scheduler.advance(GlassNotificationView::decorationFrameSeconds);
        QCoreApplication::processEvents();
    }
    QImage render(double dpr = 1, const QColor &behind = Qt::transparent) const
    {
        QImage image(QSize(320, 110) * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(behind);
        view->render(&image);
        return image;
    }
};

} // namespace nudgewatch::fakes
