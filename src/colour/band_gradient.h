#pragma once
// The band-gradient painter of the colour composer: 63 horizontal bands, each
// 4 darker per channel than the one before, from the top edge downwards or
// from the bottom edge upwards. Bands beyond the picture are clipped.

#include <QSize>

class PictureSurface;

namespace mdlTool {

// `outerTwips` is the picture box's outer size in twips (the bands are sized
// from it); the surface is drawn in its own twip scale.
void PaintBandGradient(PictureSurface &target, QSize outerTwips, int red, int green, int blue, bool top);

} // namespace mdlTool
