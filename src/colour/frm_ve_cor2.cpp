#include "colour/frm_ve_cor2.h"

#include "platform/picture_box.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif

frmVeCor2::frmVeCor2(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint)
    , Picture1(new PictureBox(this, QStringLiteral("Picture1")))
{
    // Not kept on top itself: the picker, which is, then stays in front of the
    // still image with its live read-out, whatever order the window manager
    // maps, raises and activates the two in.
    setObjectName(QStringLiteral("frmVeCor2"));
    setAttribute(Qt::WA_DeleteOnClose);
    Picture1->setMouseTracking(true);
    connect(Picture1, &PictureBox::mouseMove, this, [this](int, int, double x, double y) {
        emit Picture1_MouseMove(colourAt({x, y}));
    });
    connect(Picture1, &PictureBox::mouseDown, this, [this](int, int, double x, double y) {
        emit Picture1_MouseDown(colourAt({x, y}));
    });
}

frmVeCor2::~frmVeCor2()
{
    // A screen-sized image is freed with every search; give its pages back to
    // the system at once, or the allocator keeps them and each search looks
    // like growth.
    Picture1->setPicture(QImage());
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void frmVeCor2::cover(const QImage &still)
{
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    setGeometry(0, 0, screen.width(), screen.height());
    Picture1->setGeometry(0, 0, screen.width(), screen.height());
    setCursor(Qt::CrossCursor);
    Picture1->setCursor(Qt::CrossCursor);
    Picture1->setPicture(still);
}

ColourValue frmVeCor2::colourAt(QPointF pos) const
{
    // The image may hold more pixels than the surface has points on a scaled screen.
    const QImage &still = Picture1->picture();
    const double ratio = still.devicePixelRatio();
    const int x = int(std::floor(pos.x() * ratio)), y = int(std::floor(pos.y() * ratio));
    if (x < 0 || y < 0 || x >= still.width() || y >= still.height())
        return colour::kOutside;
    return colour::fromRgb(still.pixel(x, y));
}

bool frmVeCor2::event(QEvent *e)
{
    const bool handled = QWidget::event(e);
    if (e->type() == QEvent::WindowActivate)
        emit Form_Activate();
    return handled;
}
