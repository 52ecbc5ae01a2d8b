#pragma once
// Windows kept above all others, and the dialogs that must still come in
// front of them.

#include <QList>
#include <QPointer>
#include <QWidget>

// Turns a window's always-on-top state on or off; the window keeps its place,
// size and visibility.
void keepOnTop(QWidget *window, bool on);

// Every modal dialog and message box the program shows runs inside one: while
// it lives, the shown windows kept on top (the side windows) step back so the
// dialog comes in front and takes the input; at its end they are on top again
// and the window that was active before is active again.
class DialogInFront
{
public:
    DialogInFront();
    ~DialogInFront();
    DialogInFront(const DialogInFront &) = delete;
    DialogInFront &operator=(const DialogInFront &) = delete;

private:
    QList<QPointer<QWidget>> steppedBack_;
    QPointer<QWidget> active_;
};
