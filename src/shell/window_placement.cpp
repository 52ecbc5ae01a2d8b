#include "shell/window_placement.h"

#include "platform/twips.h"
#include "platform/settings_store.h"

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
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != on) {
        // Changing window flags re-creates the native window hidden; put the
        // place, size and visibility back as they were. A hidden window that
        // was never placed or sized stays so, leaving its placement to the
        // window manager when it is shown.
        const QPoint position = window->pos();
        const QSize size = window->size();
        const bool visible = window->isVisible();
        const bool placed = visible || window->testAttribute(Qt::WA_Moved);
        const bool sized = visible || window->testAttribute(Qt::WA_Resized);
        window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        if (placed)
            window->move(position);
        if (sized)
            window->resize(size);
        if (visible)
            window->show();
    }
    // Like a placement call without "no activate": a shown window also comes
    // to the front and takes the activation, whichever way the state went.
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}
