#pragma once
// Arithmetic of the drawing gestures, apart from the window that shows them.

#include <QString>
#include <optional>

namespace tools {

// "X: 05  Y: 12": the last two characters of "0" followed by the number.
QString readout(int col, int row);

struct Rect
{
    int left, top, width, height;
};

// Rubber-band rectangle from the press anchor to the pointer (twips): left and
// top are the smaller coordinates, sizes are non-negative.
Rect rubberRect(int pressX, int pressY, double x, double y);

// Circle centred on the press point passing through the pointer: nothing when
// its box would leave the 16-bit range.
std::optional<Rect> rubberCircle(int pressX, int pressY, double x, double y);

// Pencil constraint while a modifier is held: true keeps the press column
// (a vertical stroke), false keeps the press row. Exact diagonals keep the column.
inline bool keepsColumn(int pressX, int pressY, double x, double y)
{
    const double dx = x - pressX, dy = y - pressY;
    return (dy < 0 ? -dy : dy) >= (dx < 0 ? -dx : dx);
}

} // namespace tools
