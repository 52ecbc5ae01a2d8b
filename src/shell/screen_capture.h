#pragma once
// Pictures of the screen for the desktop colour picker, which freezes the
// desktop before it shows its capture surface. An X11 (or any non-Wayland)
// session reads the screen directly; Wayland lets no program do that, so there
// the desktop portal takes the screenshot for us.

#include "platform/screen_grab.h"

#include <QImage>
#include <QString>
#include <qwindowdefs.h> // WId

class QDBusConnection;
class QScreen;

namespace mdlVeCor2 {

// The primary screen as it is now, in Format_RGB32 at the screen's size in
// device pixels (the device pixel ratio is kept on the image). A null image
// and a reason when there is no picture to be had.
QImage SnapDesktop(QString *whyNot);

// A rectangle of a window, or of the desktop when window is 0, in the screen's
// own coordinates; the picture comes back in device pixels, Format_RGB32.
// Sizes beyond the desktop are cut down to it; an empty area, or one wholly
// off the desktop, gives a null image and a reason.
QImage SnapWindowArea(QScreen *screen, WId window, int left, int top, int width, int height, QString *whyNot);

// A screenshot through org.freedesktop.portal.Screenshot on the given bus,
// waiting at most timeoutMs for the portal (it may ask the user first). User
// input to this program is held back meanwhile. The portal's file is deleted
// once read.
QImage snapThroughPortal(const QDBusConnection &bus, int timeoutMs, QString *whyNot);

} // namespace mdlVeCor2

class DesktopScreenGrab : public ScreenGrab
{
public:
    QImage snapDesktop(QString *whyNot) override;
};
