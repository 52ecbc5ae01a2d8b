#pragma once
// What a side window may ask of the editor. The main window implements it;
// the tool window, the colour windows, the file manager and the viewers hold
// this link instead of the main window itself, so they need none of its
// controls and the editor can change without them.

#include "platform/colour_value.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <optional>

class PictureSurface;
class QWidget;
class SideWindowRegistry;
class WindowPlacement;
struct Platform;

class EditorLink
{
public:
    // The editor's own window: owner of the side windows and of their dialogs.
    virtual QWidget *editorWindow() = 0;
    virtual Platform &platform() = 0;
    virtual WindowPlacement &placement() = 0;
    virtual SideWindowRegistry &sideWindows() = 0;

    // The icon: Ikon's surface, drawn on in pixels, then RefreshGrid mirrors it
    // on the magnified grid.
    virtual PictureSurface &ikonSurface() = 0;
    virtual void RefreshGrid() = 0;
    // Sizes the Ikon box and the grid (twips) and fits the rulers to the grid.
    virtual void sizeCanvas(int ikonTwips, int gridWidthTwips, int gridHeightTwips) = 0;

    // The colour the transparent pixels of a picture just put into Ikon are
    // shown in (none for a picture without any): Save writes it transparent.
    virtual void setTransparentColour(std::optional<QRgb> colour) = 0;

    // The two drawing colours, the background colours of LeftColor and RightColor.
    virtual void setLeftColour(ColourValue colour) = 0;
    virtual void setRightColour(ColourValue colour) = 0;

    // The status line lblMsg, which names the current file.
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;
    // The current file (what lblMsg names) as the file system's bytes, and the
    // file Resize reads: the one the Open/Save dialog last named.
    virtual const QByteArray &currentFile() const = 0;
    virtual void setCurrentFile(const QByteArray &path) = 0;
    virtual QByteArray resizeFile() const = 0;

    // The menu commands a side window turns off: Grad > Resize, Tools > Properties.
    virtual void enableResize(bool on) = 0;
    virtual void enableProperties(bool on) = 0;

protected:
    ~EditorLink() = default;
};
