#include "toolwindow/arrow_button.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSide = 24;

// A dark shaft and head pointing at `angle`.
QIcon arrow(double angle)
{
    QImage img(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(kSide / 2, kSide / 2);
    p.rotate(angle);
    QPainterPath path;
    path.moveTo(10, 0);
    path.lineTo(1, -8);
    path.lineTo(1, -3);
    path.lineTo(-9, -3);
    path.lineTo(-9, 3);
    path.lineTo(1, 3);
    path.lineTo(1, 8);
    path.closeSubpath();
    p.fillPath(path, QColor(0, 0, 128));
    p.end();
    return QIcon(QPixmap::fromImage(img));
}

} // namespace

QToolButton *arrowButton(QWidget *parent, const QString &name, double angle)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setIcon(arrow(angle));
    b->setIconSize(QSize(kSide, kSide));
    return b;
}
