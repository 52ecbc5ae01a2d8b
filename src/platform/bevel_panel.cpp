#include "platform/bevel_panel.h"

#include "platform/picture_box.h"
#include "platform/twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

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
    // The outermost ring runs along the last row and column (rect() ends on them).
    const QRect r = rect();
    // Only 1 is inset. Every other code, the fall-back 3 and the initial 4
    // included, keeps the designed raised look, so the panels look the same
    // on the first start (no settings file yet) and on every later one.
    drawBevel(p, r, bevelStyle_ != 1, bevelWidth_);
    if (!caption_.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(captionRect(), Qt::AlignHCenter | Qt::AlignTop, shownCaption());
    }
}

QRect BevelPanel::captionRect() const { return rect().adjusted(bevelWidth_ + 2, bevelWidth_ + 1, -bevelWidth_ - 2, 0); }

QString BevelPanel::shownCaption() const
{
    // Centred text wider than the panel would lose both ends; cut at the end
    // instead, so a caption's leading words ("Font:") stay readable.
    return fontMetrics().elidedText(caption_, Qt::ElideRight, std::max(0, captionRect().width()));
}

void BevelPanel::mousePressEvent(QMouseEvent *e)
{
    if (dragMode_ == 1 && e->button() == Qt::LeftButton) {
        dragging_ = true;
        // The drag cursor lasts for the drag only; the panel's own comes back.
        ownCursor_ = testAttribute(Qt::WA_SetCursor) ? std::optional<QCursor>(cursor()) : std::nullopt;
        setCursor(Qt::DragMoveCursor);
        return;
    }
    QWidget::mousePressEvent(e);
}

void BevelPanel::mouseMoveEvent(QMouseEvent *e)
{
    const QPointF t = e->position() * twips::kPerPixel;
    emit pointerMove(PictureBox::buttonsCode(e->buttons()), PictureBox::shiftCode(e->modifiers()), t.x(), t.y());
    // Handled here: a move over a panel is not a move over its container.
    e->accept();
}

void BevelPanel::mouseReleaseEvent(QMouseEvent *e)
{
    if (!dragging_) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    dragging_ = false;
    if (ownCursor_)
        setCursor(*ownCursor_);
    else
        unsetCursor();
    // The drop goes to the control right under the pointer. Only a panel takes
    // drops: over any other control (or over the source itself) nothing happens.
    QWidget *top = window();
    const QPoint global = e->globalPosition().toPoint();
    auto *panel = qobject_cast<BevelPanel *>(top->childAt(top->mapFromGlobal(global)));
    if (!panel || panel == this)
        return;
    const QPointF local = QPointF(panel->mapFromGlobal(global)) * twips::kPerPixel;
    panel->acceptDrop(this, local.x(), local.y());
}
