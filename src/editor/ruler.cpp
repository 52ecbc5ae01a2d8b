#include "editor/ruler.h"

#include <QPainter>

namespace {
constexpr int kCells = 32;
}

RowRuler::RowRuler(QWidget *parent, const QString &name, const QString &caption)
    : Label(parent, name, caption)
{
    setWordWrap(true);
}

void RowRuler::paintEvent(QPaintEvent *)
{
    // One number per cell row: the wrapped caption, one word a line.
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QStringList words = text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const double pitch = double(height()) / kCells;
    for (int i = 0; i < words.size(); ++i)
        p.drawText(QRectF(0, i * pitch, width(), pitch), Qt::AlignCenter, words[i]);
}

ColumnRuler::ColumnRuler(QWidget *parent, const QString &name, const QString &text)
    : QLineEdit(text, parent)
{
    setObjectName(name);
    setFrame(false);
    setReadOnly(true);
}

void ColumnRuler::paintEvent(QPaintEvent *)
{
    // The digits in pairs, one pair under each cell column.
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QString t = text();
    const double pitch = double(width()) / kCells;
    for (int i = 0; 2 * i < t.size(); ++i)
        p.drawText(QRectF(i * pitch, 0, pitch, height()), Qt::AlignCenter, t.mid(2 * i, 2));
}
