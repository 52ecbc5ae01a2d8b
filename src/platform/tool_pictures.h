#pragma once
// The pictures of the mode buttons (32 x 32), the paste-mode picture (16 x 16)
// and the pointing-hand cursor.

#include <QCursor>
#include <QImage>

namespace pictures {

QImage tool(int mode); // modes 0..8
QImage paste();        // shown while pasting
const QCursor &hand(); // hot spot at the fingertip (5, 0)

} // namespace pictures
