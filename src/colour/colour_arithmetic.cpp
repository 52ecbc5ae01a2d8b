#include "colour/colour_arithmetic.h"

namespace colourmath {

QString hexText(ColourValue v) { return QString::number(v, 16).toUpper().rightJustified(6, QLatin1Char('0')); }

Intensities splitPicked(qint32 picked)
{
    // C++ division already truncates toward zero with the dividend's sign on
    // the remainder, which is the rule the read-out was made with.
    qint32 c = picked;
    qint32 blue = c / 65536;
    c %= 65536;
    qint32 green = c / 256;
    c %= 256;
    qint32 red = c;
    Intensities out;
    out.blue = qint16(qMax(blue, 0));
    out.green = qint16(qMax(green, 0));
    out.red = qint16(qMax(red, 0));
    return out;
}

} // namespace colourmath
