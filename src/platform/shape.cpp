#include "platform/shape.h"

#include "platform/twips.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

Shape::Shape(QWidget *owner, const QString &name, Kind kind, QColor colour)
    : QObject(owner)
    , owner_(owner)
    , kind_(kind)
    , colour_(colour)
{
    setObjectName(name);
}

void Shape::setVisible(bool v)
{
    if (v == visible_)
        return;
    visible_ = v;
    changed();
}

void Shape::setGeometry(int left, int top, int width, int height)
{
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    changed();
}

void Shape::setLine(int x1, int y1, int x2, int y2)
{
    if (x1 == x1_ && y1 == y1_ && x2 == x2_ && y2 == y2_)
        return;
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    changed();
}

QRect Shape::pixelBounds() const
{
    if (kind_ == Line) {
        const int ax = twips::toPixels(x1_), ay = twips::toPixels(y1_);
        const int bx = twips::toPixels(x2_), by = twips::toPixels(y2_);
        return QRect(QPoint(std::min(ax, bx), std::min(ay, by)), QPoint(std::max(ax, bx), std::max(ay, by)));
    }
    return QRect(twips::toPixels(left_), twips::toPixels(top_), twips::toPixels(width_) + 1,
                 twips::toPixels(height_) + 1);
}

void Shape::changed()
{
    // Repaint where the figure was and where it is now, nothing more.
    const QRect now = visible_ ? pixelBounds().adjusted(-2, -2, 2, 2) : QRect();
    owner_->update(lastPainted_ | now);
    lastPainted_ = now;
}

void Shape::paint(QPainter &p) const
{
    if (!visible_)
        return;
    QPen pen(colour_);
    pen.setWidth(0);
    if (kind_ == DashDotRectangle)
        pen.setStyle(Qt::DashDotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRect r = pixelBounds();
    switch (kind_) {
    case Line:
        p.drawLine(twips::toPixels(x1_), twips::toPixels(y1_), twips::toPixels(x2_), twips::toPixels(y2_));
        break;
    case Rectangle:
    case DashDotRectangle: p.drawRect(r.adjusted(0, 0, -1, -1)); break;
    case Circle: {
        // A circle shape draws the largest circle centred in its box.
        const int d = std::min(r.width(), r.height()) - 1;
        const QPoint c = r.center();
        p.drawEllipse(QRect(c.x() - d / 2, c.y() - d / 2, d, d));
        break;
    }
    }
}
