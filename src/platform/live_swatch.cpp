#include "platform/live_swatch.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPlatformSurfaceEvent>
#include <QVBoxLayout>
#include <QWindow>

#include <xcb/xcb.h>

#include <memory>

namespace {

xcb_connection_t *x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// How the window's visual lays out a pixel, when it is true colour.
bool pixelLayout(xcb_connection_t *c, xcb_window_t window, LiveSwatch::PixelLayout *layout)
{
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&free)> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr), &free);
    if (!attributes)
        return false;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(c)); screens.rem; xcb_screen_next(&screens))
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem; xcb_depth_next(&depths))
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals)) {
                const xcb_visualtype_t &v = *visuals.data;
                if (v.visual_id != attributes->visual)
                    continue;
                if (v._class != XCB_VISUAL_CLASS_TRUE_COLOR && v._class != XCB_VISUAL_CLASS_DIRECT_COLOR)
                    return false;
                const quint32 colourBits = v.red_mask | v.green_mask | v.blue_mask;
                // An alpha channel in a deeper visual is opaque.
                const quint32 depthBits = depths.data->depth >= 32 ? ~0u : (1u << depths.data->depth) - 1;
                *layout = {v.red_mask, v.green_mask, v.blue_mask, depthBits & ~colourBits};
                return true;
            }
    return false;
}

quint32 pixelOf(const LiveSwatch::PixelLayout &layout, QColor colour)
{
    const auto channel = [](quint32 mask, int value) -> quint32 {
        if (!mask)
            return 0;
        const int shift = __builtin_ctz(mask);
        return quint32((quint64(value) * (mask >> shift) + 127) / 255) << shift;
    };
    return channel(layout.red, colour.red()) | channel(layout.green, colour.green())
        | channel(layout.blue, colour.blue()) | layout.opaque;
}

} // namespace

LiveSwatch::LiveSwatch(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (!x11Connection())
        return;
    window_ = new QWindow;
    window_->setFlag(Qt::WindowTransparentForInput);
    window_->installEventFilter(this);
    container_ = QWidget::createWindowContainer(window_, this);
    container_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container_);
}

LiveSwatch::~LiveSwatch() = default; // the container owns the window

bool LiveSwatch::filledByServer() const { return window_ && window_->handle(); }

void LiveSwatch::setColour(QColor c)
{
    if (c == colour_)
        return;
    colour_ = c;
    if (window_)
        applyBackground();
    else
        repaint();
}

void LiveSwatch::applyBackground()
{
    xcb_connection_t *c = x11Connection();
    if (!c || !window_->handle())
        return; // set when the native window is made
    const auto id = xcb_window_t(window_->winId());
    if (!layoutKnown_ && !(layoutKnown_ = pixelLayout(c, id, &layout_))) {
        // Not a true-colour display: Qt paints the swatch instead.
        window_->removeEventFilter(this);
        container_->deleteLater();
        container_ = nullptr;
        window_ = nullptr;
        update();
        return;
    }
    const quint32 pixel = pixelOf(layout_, colour_);
    xcb_change_window_attributes(c, id, XCB_CW_BACK_PIXEL, &pixel);
    xcb_clear_area(c, 0, id, 0, 0, 0, 0);
    xcb_flush(c);
}

bool LiveSwatch::eventFilter(QObject *watched, QEvent *e)
{
    // A new native window (first show, or the window remade by the toolkit)
    // starts without a background.
    if (watched == window_ && e->type() == QEvent::PlatformSurface
        && static_cast<QPlatformSurfaceEvent *>(e)->surfaceEventType() == QPlatformSurfaceEvent::SurfaceCreated) {
        layoutKnown_ = false;
        QMetaObject::invokeMethod(this, &LiveSwatch::applyBackground, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, e);
}

void LiveSwatch::paintEvent(QPaintEvent *e) { QPainter(this).fillRect(e->rect(), colour_); }
