#pragma once
// The default palette strip: a spectrum from black through red, yellow,
// green, cyan, blue and magenta to white, one vertical line per screen pixel.

#include "platform/colour_value.h"

#include <vector>

namespace palette {

struct Spectrum
{
    std::vector<ColourValue> lines; // colour of each drawn line, left to right
    bool reachedWhite = false;      // the loop stopped on the white line
    int whiteX = 0;                 // its x in twips (when reachedWhite)
};

// The lines for x = 0, step, 2*step ... up to `limit` twips inclusive,
// stopping early on the first white line.
Spectrum spectrum(int limitTwips, int stepTwips);

} // namespace palette
