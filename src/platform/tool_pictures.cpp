#include "platform/tool_pictures.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <algorithm>

#include "hand_cursor.xpm"

namespace pictures {

namespace {

// A square of `size` points; painters on it draw in points.
QImage canvas(int size, qreal ratio)
{
    ratio = std::clamp(ratio, 1.0, 8.0);
    const int px = qRound(size * ratio);
    QImage img(px, px, QImage::Format_RGB32);
    img.setDevicePixelRatio(qreal(px) / size);
    img.fill(QColor(0xC0, 0xC0, 0xC0));
    return img;
}

} // namespace

QImage tool(int mode, qreal ratio)
{
    QImage img = canvas(32, ratio);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPen ink(Qt::black, 2);
    p.setPen(ink);
    switch (mode) {
    case 0: // pencil: a slanted body with a dark tip
        p.setBrush(QColor(0xF0, 0xC0, 0x30));
        p.drawPolygon(QPolygon({QPoint(22, 4), QPoint(28, 10), QPoint(11, 27), QPoint(5, 21)}));
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon({QPoint(5, 21), QPoint(11, 27), QPoint(3, 29)}));
        break;
    case 1: p.drawLine(5, 27, 27, 5); break;
    case 2:
        p.setBrush(Qt::NoBrush);
        p.drawRect(5, 8, 22, 16);
        break;
    case 3:
        p.setBrush(QColor(0x00, 0x00, 0x80));
        p.drawRect(5, 8, 22, 16);
        break;
    case 4:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(5, 5, 22, 22);
        break;
    case 5:
        p.setBrush(QColor(0x80, 0x00, 0x00));
        p.drawEllipse(5, 5, 22, 22);
        break;
    case 6: { // text: a serif capital A
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPixelSize(24);
        f.setBold(true);
        f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case 7: // colour fill: a tilted bucket pouring paint
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon({QPoint(6, 12), QPoint(16, 4), QPoint(26, 14), QPoint(16, 24)}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD0, 0x00, 0x00));
        p.drawRect(24, 16, 4, 12);
        break;
    case 8: { // capture: dash-dot selection frame
        QPen dash(QColor(0x00, 0x00, 0xFF), 2, Qt::DashDotLine);
        p.setPen(dash);
        p.setBrush(Qt::NoBrush);
        p.drawRect(4, 6, 24, 20);
        break;
    }
    default: break;
    }
    return img;
}

QImage paste(qreal ratio)
{
    QImage img = canvas(16, ratio);
    QPainter p(&img);
    p.setPen(Qt::black);
    p.setBrush(QColor(0xC0, 0x80, 0x40)); // clipboard board
    p.drawRect(2, 2, 11, 13);
    p.setBrush(Qt::white); // sheet on it
    p.drawRect(4, 5, 7, 8);
    p.setBrush(Qt::gray); // clip
    p.drawRect(5, 1, 5, 2);
    return img;
}

const QCursor &hand()
{
    // Several controls share it; the picture is made once, from the XPM
    // compiled in (read from a file, Qt would first look through its image
    // plug-ins, a millisecond of start-up).
    static const QCursor cursor(QPixmap(hand_cursor), 5, 0);
    return cursor;
}

} // namespace pictures
