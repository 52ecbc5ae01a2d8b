#include "platform/live_swatch.h"

#include <QGuiApplication>
#include <QPainter>
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

// The native window a top-level widget shows in now, or 0. The widget's own
// winId can lag: a window remade through its QWindow does not update it.
quint32 hostOf(const QWidget *top)
{
    const QWindow *w = top->windowHandle();
    return w && w->handle() ? quint32(w->winId()) : 0;
}

} // namespace

LiveSwatch::LiveSwatch(QWidget *parent)
    : QWidget(parent)
    , x11_(x11Connection())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

LiveSwatch::~LiveSwatch()
{
    // A window whose host has gone went with it.
    if (filledByServer()) {
        xcb_destroy_window(x11_, server_);
        xcb_flush(x11_);
    }
}

quint32 LiveSwatch::pixelOf(const PixelLayout &layout, QColor colour)
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

bool LiveSwatch::filledByServer() const { return server_ && hostOf(window()) == host_; }

void LiveSwatch::setColour(QColor c)
{
    if (c == colour_)
        return;
    colour_ = c;
    makeServerWindow(); // in step with the top-level's native window
    if (server_) {      // made in the current host just now
        const quint32 pixel = pixelOf(layout_, colour_);
        xcb_change_window_attributes(x11_, server_, XCB_CW_BACK_PIXEL, &pixel);
        xcb_clear_area(x11_, 0, server_, 0, 0, 0, 0);
        xcb_flush(x11_);
    } else {
        repaint();
    }
}

void LiveSwatch::makeServerWindow()
{
    // A top-level's native window is remade for some changes (staying on top
    // switched around a dialog), and the swatch's window goes with the old
    // one; until the next change makes a new one, the toolkit paints it.
    const quint32 host = x11_ ? hostOf(window()) : 0;
    if (!host || host == host_)
        return;
    xcb_connection_t *c = x11_;
    // A new host: the last window, if any, was destroyed with the old one.
    server_ = 0;
    host_ = host;
    if (!pixelLayout(c, host, &layout_))
        return; // not a true-colour display: painted by the toolkit
    server_ = xcb_generate_id(c);
    // Selects no events, so the pointer's go on to the window beneath.
    const quint32 background = pixelOf(layout_, colour_);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, server_, host, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, &background);
    placeServerWindow();
    if (isVisible())
        xcb_map_window(c, server_);
    xcb_flush(c);
}

void LiveSwatch::placeServerWindow()
{
    if (!filledByServer())
        return;
    xcb_connection_t *c = x11_;
    // In the host's device pixels.
    const qreal scale = devicePixelRatioF();
    const QPoint at = mapTo(window(), QPoint(0, 0));
    const quint32 geometry[] = {quint32(qRound(at.x() * scale)), quint32(qRound(at.y() * scale)),
                                quint32(qMax(1, qRound(width() * scale))), quint32(qMax(1, qRound(height() * scale)))};
    xcb_configure_window(c, server_,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         geometry);
    xcb_flush(c);
}

bool LiveSwatch::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::Show:
        makeServerWindow();
        if (filledByServer()) {
            xcb_map_window(x11_, server_);
            xcb_flush(x11_);
        }
        break;
    case QEvent::Hide:
        if (filledByServer()) {
            xcb_unmap_window(x11_, server_);
            xcb_flush(x11_);
        }
        break;
    case QEvent::Move:
    case QEvent::Resize: placeServerWindow(); break;
    default: break;
    }
    return QWidget::event(e);
}

void LiveSwatch::paintEvent(QPaintEvent *e)
{
    // Under the server's window, or the swatch itself where there is none.
    QPainter(this).fillRect(e->rect(), colour_);
}
