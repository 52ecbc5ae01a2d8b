#include "platform/bevel_panel.h"

#include "platform/picture_box.h"
#include "platform/twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

BevelPanel::BevelPanel(QWidget *parent, const QString &name)
    : QWidget(parent)
{
    setObjectName(name);
    setAutoFillBackground(true);
    setMouseTracking(true);
}

void BevelPanel::setCaption(const QString &c)
{
    caption_ = c;
    update();
}

void BevelPanel::setBevelWidth(int px)
{
    bevelWidth_ = px;
    update();
}

void BevelPanel::setBevelStyle(int code)
{
    bevelStyle_ = code;
    update();
}

void BevelPanel::move(int leftTwips, int topTwips)
{
    QWidget::move(twips::toPixels(leftTwips), twips::toPixels(topTwips));
}

void BevelPanel::drawBevel(QPainter &p, QRect r, bool raised, int width)
{
    const QPalette pal = palette();
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    for (int i = 0; i < width && r.width() > 1 && r.height() > 1; ++i) {
        p.setPen(raised ? light : dark);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(raised ? dark : light);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
}

void BevelPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    switch (bevelStyle_) {
    case 1: drawBevel(p, r, false, bevelWidth_); break;
    case 2: drawBevel(p, r, true, bevelWidth_); break;
    case 3:
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(r);
        break;
    default: // 4 and anything unknown: a raised frame around an inset well
        drawBevel(p, r, true, std::max(1, bevelWidth_ / 2));
        drawBevel(p, r.adjusted(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_), false,
                  std::max(1, bevelWidth_ / 2));
        break;
    }
    if (!caption_.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(rect().adjusted(bevelWidth_ + 2, bevelWidth_ + 1, -bevelWidth_ - 2, 0),
                   Qt::AlignHCenter | Qt::AlignTop, caption_);
    }
}

void BevelPanel::mousePressEvent(QMouseEvent *e)
{
    if (dragMode_ == 1 && e->button() == Qt::LeftButton) {
        dragging_ = true;
        setCursor(Qt::DragMoveCursor);
        return;
    }
    QWidget::mousePressEvent(e);
}

void BevelPanel::mouseMoveEvent(QMouseEvent *e)
{
    const QPointF t = e->position() * twips::kPerPixel;
    emit pointerMove(PictureBox::buttonsCode(e->buttons()), PictureBox::shiftCode(e->modifiers()), t.x(), t.y());
    QWidget::mouseMoveEvent(e);
}

void BevelPanel::mouseReleaseEvent(QMouseEvent *e)
{
    if (!dragging_) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    dragging_ = false;
    unsetCursor();
    // The drop goes to the innermost panel under the pointer; dropping on
    // itself (or inside itself) is a drop on the source, which nothing handles.
    QWidget *top = window();
    const QPoint global = e->globalPosition().toPoint();
    QWidget *under = top->childAt(top->mapFromGlobal(global));
    for (QWidget *w = under; w; w = w->parentWidget()) {
        if (w == this)
            return;
        if (auto *panel = qobject_cast<BevelPanel *>(w)) {
            const QPointF local = QPointF(panel->mapFromGlobal(global)) * twips::kPerPixel;
            panel->acceptDrop(this, local.x(), local.y());
            return;
        }
    }
}
