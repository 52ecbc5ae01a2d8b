#include "platform/window_stacking.h"

#include <QApplication>

void keepOnTop(QWidget *window, bool on)
{
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    // Changing window flags re-creates the native window hidden; put the
    // place, size and visibility back as they were. A hidden window that was
    // never placed or sized stays so, leaving its placement to the window
    // manager when it is shown.
    const QPoint position = window->pos();
    const QSize size = window->size();
    const bool visible = window->isVisible();
    const bool placed = visible || window->testAttribute(Qt::WA_Moved);
    const bool sized = visible || window->testAttribute(Qt::WA_Resized);
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (placed)
        window->move(position);
    if (sized)
        window->resize(size);
    if (visible)
        window->show();
}

DialogInFront::DialogInFront()
    : active_(QApplication::activeWindow())
{
    // A dialog shown from within another dialog finds them stepped back already.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            keepOnTop(w, false);
            steppedBack_ << w;
        }
    }
}

DialogInFront::~DialogInFront()
{
    for (QWidget *w : std::as_const(steppedBack_))
        if (w)
            keepOnTop(w, true);
    if (!steppedBack_.isEmpty() && active_ && active_->isVisible())
        active_->activateWindow();
}
