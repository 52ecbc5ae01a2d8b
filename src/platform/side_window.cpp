#include "platform/side_window.h"

#include "platform/fonts.h"
#include "platform/twips.h"
#include "platform/window_placement.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>

namespace {

// A small-caption tool frame, used until the window manager has framed the
// window and its real margins are known.
constexpr QSize kNominalFrame(8, 28);

// The X11 window type "toolbar", as the xcb platform numbers its types.
constexpr int kXcbToolbarType = 0x08;

} // namespace

SideWindow::SideWindow(QWidget *mainWindow, WindowPlacement &placement, const QString &name, const QString &caption,
                       Protocol protocol)
    : QWidget(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , mainWindow_(mainWindow)
    , placement_(placement)
    , protocol_(protocol)
{
    setObjectName(name);
    setWindowTitle(caption);
    // The classic dialog font the side windows' controls were laid out for.
    setFont(fonts::classic(QStringLiteral("MS Sans Serif"), 8));
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
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // Window managers such as openbox give a utility window minimise and
        // maximise buttons whatever the Motif hints ask, and minimising one
        // iconifies the editor's whole group; a toolbar gets the close box
        // only. The platform reads the type as it makes the native window:
        // the one made here carries the type and is dropped until shown.
        create();
        windowHandle()->setProperty("_q_xcb_wm_window_type", kXcbToolbarType);
        windowHandle()->destroy();
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
    // Shown as it stands, a window the window manager minimised (alone or
    // with the editor's group) maps iconic and takes the editor down with
    // it: whatever state it was left in, it comes back normal and in front.
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    show();
    raise();
    activateWindow();
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

QSize SideWindow::outerSizeTwips() const { return (size() + frameExtra()) * twips::kPerPixel; }

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
