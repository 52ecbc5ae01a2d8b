#include "shell/side_window.h"

#include "platform/twips.h"
#include "shell/window_placement.h"

#include <QLineEdit>
#include <QTimer>

namespace {

// A small-caption tool frame, used until the window manager has framed the
// window and its real margins are known.
constexpr QSize kNominalFrame(8, 28);

} // namespace

SideWindow::SideWindow(QWidget *mainWindow, WindowPlacement &placement, const QString &name,
                       const QString &caption, Protocol protocol)
    : QWidget(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , mainWindow_(mainWindow)
    , placement_(placement)
    , protocol_(protocol)
{
    setObjectName(name);
    setWindowTitle(caption);
    // The classic dialog font the side windows' controls were laid out for.
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    // Unloading destroys the window; the next reference loads a new one.
    setAttribute(Qt::WA_DeleteOnClose);
    if (protocol_.positionFields) {
        Leftlbl = new QLineEdit(this);
        Leftlbl->setObjectName(QStringLiteral("Leftlbl"));
        Leftlbl->hide();
        Toplbl = new QLineEdit(this);
        Toplbl->setObjectName(QStringLiteral("Toplbl"));
        Toplbl->hide();
    }
    if (protocol_.timer) {
        Timer = new QTimer(this); // interval 0 and never started: it never fires
        Timer->setObjectName(QStringLiteral("Timer"));
        Timer->setInterval(0);
    }
}

void SideWindow::loadProtocol()
{
    placement_.SetWindowTopmost(this, true);
    if (protocol_.restorePosition)
        placement_.RestoreWindowPosition(this);
    if (Leftlbl && mainWindow_) {
        Leftlbl->setText(QString::number(qint64(mainWindow_->x()) * twips::kPerPixel));
        Toplbl->setText(QString::number(qint64(mainWindow_->y()) * twips::kPerPixel));
    }
}

void SideWindow::LoadToolbar(QWidget *owner)
{
    // Qt keeps a tool window above its parent: the parent is the owner slot.
    if (owner && owner != parentWidget()) {
        const Qt::WindowFlags flags = windowFlags();
        setParent(owner, flags);
    }
    show();
}

void SideWindow::UnloadToolbar() { close(); }

QSize SideWindow::frameExtra() const
{
    const QSize extra = frameGeometry().size() - geometry().size();
    return extra.isEmpty() ? kNominalFrame : extra;
}

void SideWindow::applyOuterSize()
{
    if (outerPx_.isEmpty())
        return;
    setFixedSize((outerPx_ - frameExtra()).expandedTo(QSize(1, 1)));
}

void SideWindow::setOuterSizeTwips(int width, int height)
{
    outerPx_ = QSize(twips::toPixels(width), twips::toPixels(height));
    applyOuterSize();
}

QSize SideWindow::outerSizeTwips() const
{
    return (size() + frameExtra()) * twips::kPerPixel;
}

void SideWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // Positions are frame positions, but a window placed before it was ever
    // shown has no frame yet, and X puts its client area at that point. Once
    // the window manager has framed it, the frame goes where it was meant to
    // be and the client area is fitted to the outer size.
    const QPoint meant = pos();
    QTimer::singleShot(50, this, [this, meant] {
        if (frameGeometry().topLeft() != meant)
            move(meant);
        applyOuterSize();
    });
}
