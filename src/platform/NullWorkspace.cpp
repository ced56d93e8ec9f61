#include "platform/NullWorkspace.h"

#include "platform/linux/DesktopIcons.h"
#include "platform/linux/GioLauncher.h"

#include <QPainter>

#include <cstdio>

namespace nudgewatch {

NullWorkspace::NullWorkspace(QString reason, const DesktopIcons *icons, const GioLauncher *launcher,
                             QObject *parent)
    : Workspace(parent), m_reason(std::move(reason)), m_icons(icons), m_launcher(launcher)
{
}

void NullWorkspace::warnOnce() const
{
    if (m_warned)
        return;
    m_warned = true;
    std::fprintf(stderr,
                 "nudgewatch: frontmost application tracking is unavailable in this session (%s)\n",
                 qPrintable(m_reason));
}

std::optional<RunningApplication> NullWorkspace::frontmostApplication() const
{
    warnOnce();
    return std::nullopt;
}

bool NullWorkspace::openApplication(const QString &bundlePath)
{
    return m_launcher != nullptr && m_launcher->launch(bundlePath);
}

QImage NullWorkspace::iconForFile(const QString &path) const
{
    if (m_icons != nullptr)
        return m_icons->iconForFile(path);
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x8a, 0x8f, 0x98));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 4, 40, 40), 9, 9);
    return image;
}

} // namespace nudgewatch
