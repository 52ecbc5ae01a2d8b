#include "colour/band_gradient.h"

#include "platform/colour_value.h"
#include "platform/picture_surface.h"
#include "platform/twips.h"

#include <algorithm>

namespace mdlTool {

void PaintBandGradient(PictureSurface &target, QSize outerTwips, int red, int green, int blue, bool top)
{
    // The band height is a 16-bit whole number of twips, halves to even.
    const qint16 bandHeight = qint16(twips::roundHalfEven(outerTwips.height() / 63.0));
    int bandTop = top ? 0 : outerTwips.height() - bandHeight;
    const int right = outerTwips.width();
    for (int k = 0; k < 63; ++k) {
        target.filledBox(0, bandTop, right, bandTop + bandHeight, colour::rgb(red, green, blue));
        red = std::max(red - 4, 0);
        green = std::max(green - 4, 0);
        blue = std::max(blue - 4, 0);
        bandTop = top ? bandTop + bandHeight : bandTop - bandHeight;
    }
}

} // namespace mdlTool
