#pragma once
// Colour arithmetic of the colour windows, kept apart from them so it can be
// checked without a window.

#include "platform/colour_value.h"

#include <QString>
#include <QtGlobal>

namespace colourmath {

// A colour value as hexadecimal text: uppercase, no prefix, padded with "0" to
// six digits. Red sits in the low byte, so the digits read blue, green, red.
QString hexText(ColourValue v);

// The three intensities a picked colour splits into.
struct Intensities
{
    qint16 red = 0, green = 0, blue = 0;
};

// Splits a picked colour by 65536 and 256 with division truncating toward zero
// and a remainder that keeps the dividend's sign; a negative part reads 0, so
// -1 ("outside the picture") splits into black.
Intensities splitPicked(qint32 picked);

} // namespace colourmath
