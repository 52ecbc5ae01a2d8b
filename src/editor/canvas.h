#pragma once
// The icon held twice: `Ikon`, the 32 x 32 store of the icon's pixels, and
// `grid`, its magnified mirror in 150-twip cells. Every change to the icon goes
// to Ikon first and reaches the grid through PaintCell/RefreshGrid.

#include "platform/colour_value.h"

class PictureSurface;

class Canvas
{
public:
    static constexpr int kCells = 32;
    static constexpr int kMaxCellTwips = 32637; // x + 130 must stay within 16 bits

    Canvas(PictureSurface &ikon, PictureSurface &grid)
        : ikon_(ikon)
        , grid_(grid)
    {
    }

    // Paints the inset box of the cell whose top-left corner is (x, y) twips on
    // the grid and sets the matching Ikon pixel. Positions outside the 16-bit
    // range are ignored (returns false).
    bool PaintCell(int x, int y, ColourValue colour);
    // Repaints every cell from Ikon, rows outer, columns inner.
    void RefreshGrid();
    // Black lines on the cell borders 0, 150 ... 4650 twips, each 4800 long.
    void drawBars();
    // Grid back to its background, then every cell repainted from Ikon.
    void clearBars();

private:
    void paintBox(int px, int py, QRgb rgb);

    PictureSurface &ikon_;
    PictureSurface &grid_;
};
