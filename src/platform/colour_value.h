#pragma once
// Colour values as the editor stores them: a 32-bit number with red in the low
// byte, then green, then blue. 0x80000000 + index names a system colour that is
// resolved through the application palette when drawn; -1 means "outside".

#include <QColor>
#include <QRgb>
#include <cstdint>

using ColourValue = std::int64_t;

namespace colour {

inline constexpr ColourValue kOutside = -1;
inline constexpr ColourValue kSystemFlag = 0x80000000LL;
inline constexpr ColourValue kMenuText = 0x80000007LL;
inline constexpr ColourValue kWindowBackground = 0x80000005LL;
inline constexpr ColourValue kCaptionText = 0x80000009LL;
inline constexpr ColourValue kButtonFace = 0x8000000FLL;
inline constexpr ColourValue kBlack = 0x000000;
inline constexpr ColourValue kWhite = 0xFFFFFF;

inline constexpr bool isSystem(ColourValue v) { return v >= kSystemFlag && v <= 0xFFFFFFFFLL; }

inline constexpr ColourValue rgb(int r, int g, int b)
{
    return (ColourValue(b & 0xFF) << 16) | (ColourValue(g & 0xFF) << 8) | ColourValue(r & 0xFF);
}

inline constexpr int red(ColourValue v) { return int(v & 0xFF); }
inline constexpr int green(ColourValue v) { return int((v >> 8) & 0xFF); }
inline constexpr int blue(ColourValue v) { return int((v >> 16) & 0xFF); }

// A system colour is resolved through the current application palette; a plain
// colour maps directly. Anything else (negative, stray high bits) reads as black.
QRgb toRgb(ColourValue v);
QColor toQColor(ColourValue v);

inline constexpr ColourValue fromRgb(QRgb c) { return rgb(qRed(c), qGreen(c), qBlue(c)); }
inline ColourValue fromQColor(const QColor &c) { return rgb(c.red(), c.green(), c.blue()); }

// The plain value a system colour stands for right now.
inline ColourValue resolve(ColourValue v) { return fromRgb(toRgb(v)); }

} // namespace colour
