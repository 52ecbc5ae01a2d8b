#pragma once
// Device-independent bitmaps as metafiles embed them: a BITMAPCOREHEADER or
// BITMAPINFOHEADER, the colour table, then the pixel rows with no file header.

#include <QImage>
#include <QtGlobal>
#include <optional>

namespace dib {

// Largest bitmap we decode; a bigger one in a metafile is treated as damaged
// rather than allocated, whatever the data claims.
inline constexpr qint64 kMaxPixels = 4096LL * 4096LL;
inline constexpr qint64 kMaxSide = 32768;

struct Decoded
{
    QImage image;   // opaque ARGB32, top row first
    bool bottomUp;  // rows were stored bottom row first, as most DIBs are
};

// Uncompressed 1, 4, 8, 16, 24 and 32 bpp, plus BI_BITFIELDS at 16/32 bpp.
// With paletteIndices the colour table holds 16-bit indexes into a logical
// palette the caller does not have, so such paletted bitmaps are refused.
// nullopt for anything truncated, oversized or in another compression.
std::optional<Decoded> decode(const uchar *data, qsizetype size, bool paletteIndices = false);

} // namespace dib
