#pragma once
// What every floating side window shares: a tool window owned by the editor
// (kept above it, fixed size, close box only), pinned always-on-top as it
// loads, the invisible Leftlbl/Toplbl fields and a timer that never fires.
// Each window adds its own controls and load steps.

#include <QWidget>

class QLineEdit;
class QTimer;
class WindowPlacement;

class SideWindow : public QWidget
{
    Q_OBJECT
public:
    struct Protocol
    {
        bool restorePosition = false; // put at the one stored position on load
        bool positionFields = true;   // Leftlbl / Toplbl
        bool timer = true;            // the interval-0 Timer
    };

    SideWindow(QWidget *mainWindow, WindowPlacement &placement, const QString &name, const QString &caption,
               Protocol protocol);

    // Shows the window without blocking; `owner` becomes its owner window.
    void LoadToolbar(QWidget *owner);
    // Unloads the window: its close handling runs and it is destroyed.
    void UnloadToolbar();

    // The window's outer size (frame included) in twips, as the designed
    // sizes are given; the client area is what remains inside the frame.
    void setOuterSizeTwips(int width, int height);
    QSize outerSizeTwips() const;

    QLineEdit *Leftlbl = nullptr;
    QLineEdit *Toplbl = nullptr;
    QTimer *Timer = nullptr;

protected:
    // The load steps common to all: always on top, the stored position where
    // asked, the main window's edges in Leftlbl/Toplbl.
    void loadProtocol();
    WindowPlacement &placement() { return placement_; }
    QWidget *mainWindow() const { return mainWindow_; }
    void showEvent(QShowEvent *e) override;

private:
    void applyOuterSize();
    QSize frameExtra() const;

    QWidget *mainWindow_;
    WindowPlacement &placement_;
    Protocol protocol_;
    QSize outerPx_; // requested outer size in pixels; empty until set
};
