#pragma once
// mdlFixafrm2: remembers where a window was, in twips, under
// "HKEY_CURRENT_USER\Software\Window Position" ("Left" and "Top"), and pins
// windows above the others.
//
// Positions are the frame position of a top-level window (QWidget::x()/y(),
// i.e. pos()), the same on save and restore.
//
// One position variable serves every call: a value that does not read as a
// whole number leaves whatever the variable held, so a readable "Left" with a
// missing "Top" puts the top edge at the left value.

#include <QString>
#include <QtGlobal>

class QWidget;
class SettingsStore;

class WindowPlacement
{
public:
    static inline const QString kPositionKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Window Position");

    explicit WindowPlacement(SettingsStore &store)
        : store_(store)
    {
    }

    void RestoreWindowPosition(QWidget *window);
    void SaveWindowPosition(QWidget *window);
    // Turns "always on top" on or off; the window keeps its place, size and
    // visibility, and a shown window is raised and activated.
    void SetWindowTopmost(QWidget *window, bool on);

    // The shared position variable (twips).
    qint32 position() const { return position_; }

private:
    // Reads `name` into the position variable when it is a whole number.
    void readPosition(const QString &name);

    SettingsStore &store_;
    qint32 position_ = 0;
};
