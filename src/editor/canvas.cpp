#include "editor/canvas.h"

#include "platform/picture_surface.h"
#include "platform/twips.h"

// The box from x+10 to x+130 twips covers pixels 2..8 of the cell's ten: one
// background pixel stays between it and each bar line, so bars never merge
// with a painted cell.
static constexpr int kInsetFirst = 2;
static constexpr int kInsetLast = 8;

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
    const int cellPx = twips::kPerCell / twips::kPerPixel;
    const int n = std::min({kCells, ikon_.pixelSize().width(), ikon_.pixelSize().height()});
    for (int row = 0; row < kCells; ++row) {
        for (int col = 0; col < kCells; ++col) {
            // Pixels beyond a shrunken Ikon read as "outside" (-1); a plain
            // read of such a colour value is black.
            const QRgb rgb = (row < n && col < n) ? (ikon_.pixelRgb(col, row) | 0xFF000000u) : qRgb(0, 0, 0);
            const int px = col * cellPx, py = row * cellPx;
            // A cell that already shows this colour needs no writing; only the
            // cell painter and a full clear touch box interiors.
            if (grid_.contains(px + kInsetFirst, py + kInsetFirst) &&
                (grid_.pixelRgb(px + kInsetFirst, py + kInsetFirst) | 0xFF000000u) == rgb &&
                (grid_.pixelRgb(px + kInsetLast, py + kInsetLast) | 0xFF000000u) == rgb)
                continue;
            paintBox(px, py, rgb);
        }
    }
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
