#pragma once
// Which kind of desktop session the program runs in, and which Qt platform
// plugin it starts on there. A Wayland session is told by its environment,
// not by the plugin: without Qt's Wayland plugin (Debian's default) Qt runs on
// xcb through XWayland, where the screen read directly holds only XWayland's
// windows.

#include <QByteArray>
#include <QProcessEnvironment>

namespace session {

// XDG_SESSION_TYPE is "wayland" or WAYLAND_DISPLAY is set.
bool isWayland(const QProcessEnvironment &env);

// The plugin to ask Qt for, or empty to leave Qt its own choice: xcb in a
// Wayland session that offers XWayland (DISPLAY set), unless the user chose a
// plugin. The side windows rely on being placed where they are put and on
// staying on top, which a Wayland client cannot ask for and XWayland grants.
QByteArray preferredPlatform(const QProcessEnvironment &env);

// Sets QT_QPA_PLATFORM to the preferred plugin for the application object
// about to be made, and takes it back with release() once it is made, so
// that programs the editor starts choose their own.
class PlatformChoice
{
public:
    PlatformChoice();
    void release();

private:
    bool set_ = false;
};

} // namespace session
