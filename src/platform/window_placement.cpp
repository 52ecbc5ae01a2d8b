#include "platform/window_placement.h"

#include "platform/settings_store.h"
#include "platform/twips.h"
#include "platform/window_stacking.h"

#include <QWidget>

void WindowPlacement::readPosition(const QString &name)
{
    const std::optional<QString> text = store_.ReadTextValue(kPositionKey, name);
    if (!text)
        return;
    bool ok = false;
    const int value = text->toInt(&ok, 10);
    if (ok)
        position_ = value;
}

void WindowPlacement::RestoreWindowPosition(QWidget *window)
{
    readPosition(QStringLiteral("Left"));
    window->move(twips::toPixels(position_), window->y());
    readPosition(QStringLiteral("Top"));
    window->move(window->x(), twips::toPixels(position_));
}

void WindowPlacement::SaveWindowPosition(QWidget *window)
{
    store_.EnsureKey(kPositionKey);
    // 64-bit so that no pixel position can overflow on the way to twips.
    const qint64 left = qint64(window->x()) * twips::kPerPixel;
    const qint64 top = qint64(window->y()) * twips::kPerPixel;
    store_.WriteTextValue(kPositionKey, QStringLiteral("Left"), QString::number(left));
    store_.WriteTextValue(kPositionKey, QStringLiteral("Top"), QString::number(top));
}

void WindowPlacement::SetWindowTopmost(QWidget *window, bool on)
{
    keepOnTop(window, on);
    // Like a placement call without "no activate": a shown window also comes
    // to the front and takes the activation, whichever way the state went.
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}
