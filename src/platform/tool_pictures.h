#pragma once
// The pictures of the mode buttons (32 x 32), the paste-mode picture (16 x 16)
// and the pointing-hand cursor. The pictures are drawn for a screen of the
// given device pixel ratio, so that a scaled screen shows them sharp instead
// of blown up pixel by pixel; their size in points stays the same.

#include <QCursor>
#include <QImage>

namespace pictures {

QImage tool(int mode, qreal ratio = 1); // modes 0..8
QImage paste(qreal ratio = 1);          // shown while pasting
const QCursor &hand();                  // hot spot at the fingertip (5, 0)

} // namespace pictures
