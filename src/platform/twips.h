#pragma once
// Units of the editor: positions are twips (1/1440 inch), 15 per logical pixel,
// and a grid cell is 150 twips square. Positions and cells are 16-bit values;
// conversions report failure instead of wrapping when a value leaves that range.

#include <cmath>
#include <cstdint>
#include <optional>

namespace twips {

inline constexpr int kPerPixel = 15;
inline constexpr int kPerCell = 150;
inline constexpr int kMin16 = -32768;
inline constexpr int kMax16 = 32767;

// Round to the nearest integer, ties to the even one (banker's rounding).
inline double roundHalfEven(double v)
{
    return std::nearbyint(v); // the default FE_TONEAREST mode is ties-to-even
}

inline bool fits16(double v) { return v >= kMin16 && v <= kMax16; }

// A real twip position rounded to a whole twip; nothing when it leaves 16 bits.
inline std::optional<int> toWhole16(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = roundHalfEven(v);
    if (!fits16(r))
        return std::nullopt;
    return static_cast<int>(r);
}

// Cell of a pointer position: round to a whole twip, then divide by 150
// truncating toward zero (-149..149 -> 0, -150..-299 -> -1).
inline std::optional<int> toCell(double v)
{
    const auto whole = toWhole16(v);
    if (!whole)
        return std::nullopt;
    return *whole / kPerCell;
}

// Whole twips to whole pixels, ties to even.
inline int toPixels(double t) { return static_cast<int>(roundHalfEven(t / kPerPixel)); }
inline constexpr int fromPixels(int px) { return px * kPerPixel; }

} // namespace twips
