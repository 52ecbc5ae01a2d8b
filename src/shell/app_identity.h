#pragma once
// Who the running program is to the desktop: its name, version, desktop file
// and icon, so that a dock or task bar puts the window with its launcher.

class QGuiApplication;
class QIcon;

// The packaged icon at each of its sizes, built into the program.
QIcon applicationIcon();

// Names the application after its desktop entry and gives every window the
// packaged icon. Called once, right after the application object is made.
void applyApplicationIdentity(QGuiApplication &app);
