#include "editor/canvas.h"

#include "platform/picture_surface.h"
#include "platform/twips.h"

#include <algorithm>
#include <climits>

// The box from x+10 to x+130 twips covers pixels 2..8 of the cell's ten: one
// background pixel stays between it and each bar line, so bars never merge
// with a painted cell.
static constexpr int kInsetFirst = 2;
static constexpr int kInsetLast = 8;
static_assert(kInsetLast - kInsetFirst + 1 == 7, "RefreshGrid writes boxes of seven pixels");

void Canvas::paintBox(int px, int py, QRgb rgb)
{
    grid_.fillPixels(QRect(QPoint(px + kInsetFirst, py + kInsetFirst), QPoint(px + kInsetLast, py + kInsetLast)), rgb);
}

bool Canvas::PaintCell(int x, int y, ColourValue colour)
{
    if (x < twips::kMin16 || y < twips::kMin16 || x > kMaxCellTwips || y > kMaxCellTwips)
        return false;
    paintBox(twips::toPixels(x), twips::toPixels(y), colour::toRgb(colour));
    ikon_.pset(x / twips::kPerCell, y / twips::kPerCell, colour);
    return true;
}

void Canvas::RefreshGrid()
{
    // The hot path of every edit: raw rows instead of per-pixel calls, and a
    // cell that already shows its colour is not written (only the cell painter
    // and a full clear touch box interiors, so its first pixel tells).
    constexpr int cellPx = twips::kPerCell / twips::kPerPixel;
    const QImage &icon = ikon_.image();
    QImage &out = grid_.pixelsForWrite();
    const int n = std::min({kCells, icon.width(), icon.height()});
    const int lastX = std::min(kCells, (out.width() - kInsetLast - 1) / cellPx + 1);
    const int lastY = std::min(kCells, (out.height() - kInsetLast - 1) / cellPx + 1);
    if (lastX <= 0 || lastY <= 0)
        return;
    uchar *bits = out.bits();
    const qsizetype stride = out.bytesPerLine();
    constexpr int boxSide = kInsetLast - kInsetFirst + 1;
    int minX = INT_MAX, minY = INT_MAX, maxX = -1, maxY = -1;
    QRgb colours[kCells];
    int changed[kCells];
    for (int row = 0; row < lastY; ++row) {
        const QRgb *src = row < n ? reinterpret_cast<const QRgb *>(icon.constScanLine(row)) : nullptr;
        const int py = row * cellPx + kInsetFirst;
        QRgb *top = reinterpret_cast<QRgb *>(bits + py * stride);
        int count = 0;
        for (int col = 0; col < lastX; ++col) {
            // Pixels beyond a shrunken Ikon have no colour; they show black.
            const QRgb rgb = (src && col < n) ? (src[col] | 0xFF000000u) : 0xFF000000u;
            if ((top[col * cellPx + kInsetFirst] | 0xFF000000u) != rgb) {
                colours[count] = rgb;
                changed[count++] = col;
            }
        }
        if (count == 0)
            continue;
        // Row by row across the changed cells, so the writes run through memory in order.
        for (int y = 0; y < boxSide; ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(bits + (py + y) * stride) + kInsetFirst;
            for (int i = 0; i < count; ++i) {
                QRgb *box = line + changed[i] * cellPx;
                const QRgb c = colours[i];
                box[0] = c;
                box[1] = c;
                box[2] = c;
                box[3] = c;
                box[4] = c;
                box[5] = c;
                box[6] = c;
            }
        }
        minX = std::min(minX, changed[0] * cellPx + kInsetFirst);
        maxX = std::max(maxX, changed[count - 1] * cellPx + kInsetLast);
        minY = std::min(minY, py);
        maxY = std::max(maxY, py + boxSide - 1);
    }
    if (maxX >= 0)
        grid_.markChanged(QRect(QPoint(minX, minY), QPoint(maxX, maxY)));
}

void Canvas::drawBars()
{
    const int len = 4799;
    for (int i = 0; i < kCells; ++i) {
        grid_.line(0, i * twips::kPerCell, len, i * twips::kPerCell, colour::kBlack);
        grid_.line(i * twips::kPerCell, 0, i * twips::kPerCell, len, colour::kBlack);
    }
}

void Canvas::clearBars()
{
    grid_.cls();
    RefreshGrid();
}
