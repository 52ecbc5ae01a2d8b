#pragma once
// The floating tool window: four panels, one shown at a time, chosen and sized
// by the main window's panel commands. It keeps its own copies of the button
// colours and hands them back at a colour click and when it unloads, and it is
// the one window that stores the shared window position.

#include "platform/side_window.h"

class EditorLink;
class fraCores;
class fraDiminui;
class fraLocaliza;
class fraMove;
class QGroupBox;

class frmToolBar : public SideWindow
{
    Q_OBJECT
public:
    explicit frmToolBar(EditorLink &main);

    // Shows the window with only `panel` visible and sets its outer size (twips).
    void showPanel(QGroupBox *panel, int outerWidth, int outerHeight);

    fraMove *moveFrame() const { return fraMove_; }
    fraCores *coloursFrame() const { return fraCores_; }
    fraDiminui *reduceFrame() const { return fraDiminui_; }
    fraLocaliza *searchFrame() const { return fraLocaliza_; }

    // Taken at load: the screen's twips per pixel.
    qint16 twipsPerPixelX = 15, twipsPerPixelY = 15;
    qint32 currentIconIndex = 0;

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    EditorLink &main_;
    fraMove *fraMove_;
    fraCores *fraCores_;
    fraDiminui *fraDiminui_;
    fraLocaliza *fraLocaliza_;
};
