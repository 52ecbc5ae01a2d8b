#pragma once
// Device-independent bitmaps: as metafiles embed them (a BITMAPCOREHEADER or
// BITMAPINFOHEADER, the colour table, then the pixel rows, no file header)
// and as bitmap files hold them (a file header in front, which says where
// the pixel rows start).

#include <QImage>
#include <QtGlobal>
#include <optional>

namespace dib {

// Largest bitmap we decode; a bigger one is treated as damaged rather than
// allocated, whatever the data claims.
inline constexpr qint64 kMaxPixels = 4096LL * 4096LL;
inline constexpr qint64 kMaxSide = 32768;

// What an info header's size says it is. 12 is the old core header; 40, 52,
// 56, 108 and 124 are the Windows headers; every other size from 16 to 64 is
// the OS/2 2.x header, cut short after any of its fields (those left out read
// as zero) and with codes of its own from compression 3 on. Any other size is
// no bitmap header at all.
enum class HeaderKind { Unknown, Core, Windows, Os2 };
HeaderKind headerKind(qint64 size);

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

// A whole bitmap file ("BM", the file header, then a DIB whose pixel rows
// start at the header's offset). Besides what decode() takes: RLE8 and RLE4,
// bottom-up only, where every pixel the stream skips (deltas, early end of
// line or of bitmap) is palette entry 0 and runs past the bitmap are clipped;
// a stream that ends without its end-of-bitmap mark is refused.
// The image is opaque, except a 32 bpp BI_BITFIELDS bitmap whose header
// (56 bytes or more) declares a non-zero alpha mask: that alpha is kept,
// unless every pixel's alpha is zero, which only writers that leave the byte
// unused produce.
std::optional<Decoded> decodeFile(const uchar *data, qsizetype size);

} // namespace dib
