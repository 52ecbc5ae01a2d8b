#include "platform/picture_box.h"

#include "platform/live_swatch.h"
#include "platform/picture_surface.h"
#include "platform/shape.h"
#include "platform/twips.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent, const QString &name)
    : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setSurface(PictureSurface *surface)
{
    surface_ = surface;
    update();
}

void PictureBox::setBackColor(ColourValue c)
{
    backColor_ = c;
    if (live_)
        live_->setColour(colour::toQColor(c));
    else
        update();
}

void PictureBox::showBackColorLive()
{
    if (!live_)
        live_ = new LiveSwatch(this);
    live_->setColour(colour::toQColor(backColor_));
    placeLiveSwatch();
}

void PictureBox::placeLiveSwatch()
{
    if (live_)
        live_->setGeometry(rect().adjusted(border_, border_, -border_, -border_));
}

void PictureBox::resizeEvent(QResizeEvent *) { placeLiveSwatch(); }

void PictureBox::setPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

void PictureBox::setBorderWidth(int px)
{
    border_ = std::max(0, px);
    placeLiveSwatch();
    update();
}

void PictureBox::flush()
{
    if (!surface_)
        return;
    const QRect d = surface_->takeDirty();
    if (!d.isEmpty())
        update(d.translated(border_, border_));
}

void PictureBox::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    const QRect client = rect().adjusted(border_, border_, -border_, -border_);
    p.fillRect(e->rect(), colour::toQColor(backColor_));
    if (surface_) {
        const QRect target = e->rect() & client;
        p.drawImage(target, surface_->image(), target.translated(-border_, -border_));
    } else if (!picture_.isNull()) {
        p.drawImage(client.topLeft(), picture_);
    }
    if (border_ > 0) {
        const QPalette pal = palette();
        for (int i = 0; i < border_; ++i) {
            // rect() already ends on the last pixel: ring i lies i pixels in on every side.
            const QRect r = rect().adjusted(i, i, -i, -i);
            p.setPen(i == 0 ? pal.color(QPalette::Dark) : pal.color(QPalette::Shadow));
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(i == 0 ? pal.color(QPalette::Light) : pal.color(QPalette::Midlight));
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
        }
    }
    p.translate(border_, border_);
    for (QObject *child : children())
        if (auto *s = qobject_cast<Shape *>(child))
            s->paint(p);
}

int PictureBox::buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int PictureBox::buttonsCode(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

int PictureBox::shiftCode(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

QPointF PictureBox::scaled(const QMouseEvent *e) const
{
    const QPointF local = e->position() - QPointF(border_, border_);
    return twipsScale_ ? local * twips::kPerPixel : local;
}

void PictureBox::mousePressEvent(QMouseEvent *e)
{
    const QPointF pos = scaled(e);
    pressedButton_ = e->button();
    emit mouseDown(buttonCode(e->button()), shiftCode(e->modifiers()), pos.x(), pos.y());
    flush();
}

void PictureBox::mouseMoveEvent(QMouseEvent *e)
{
    const QPointF pos = scaled(e);
    emit mouseMove(buttonsCode(e->buttons()), shiftCode(e->modifiers()), pos.x(), pos.y());
    flush();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *e)
{
    const QPointF pos = scaled(e);
    emit mouseUp(buttonCode(e->button()), shiftCode(e->modifiers()), pos.x(), pos.y());
    // A click: the pressed button released inside, nothing else held. Only
    // the left and right buttons click; the middle one never does.
    if (e->button() == pressedButton_ && e->buttons() == Qt::NoButton && rect().contains(e->position().toPoint())) {
        pressedButton_ = Qt::NoButton;
        if (e->button() == Qt::LeftButton)
            emit clicked();
        if (e->button() == Qt::LeftButton || e->button() == Qt::RightButton)
            emit Click(buttonCode(e->button()));
    }
    flush();
}
