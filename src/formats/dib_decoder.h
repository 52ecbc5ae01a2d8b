#pragma once
// The one decoder of device-independent bitmaps, wherever they are kept: as
// metafiles embed them (a BITMAPCOREHEADER or BITMAPINFOHEADER, the colour
// table, then the pixel rows, no file header), as bitmap files hold them (a
// file header in front, which says where the pixel rows start) and as icon
// entries hold them (the XOR image and the AND mask stacked in one bitmap of
// doubled height). One header parse serves all three and the properties
// window.

#include "formats/byte_view.h"

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

// An info header's fields at their places in the 40-byte layout, whatever
// the header's real size; those the bytes given do not reach read as zero.
// Signed as the properties window shows them.
struct InfoFields
{
    qint32 width = 0;
    qint32 height = 0;
    qint16 planes = 0;
    qint16 bitCount = 0;
    qint32 compression = 0;
    qint32 sizeImage = 0;
    quint32 coloursUsed = 0;
};
InfoFields infoFields(ByteView header);

struct Decoded
{
    QImage image;  // ARGB32, top row first
    bool bottomUp; // rows were stored bottom row first, as most DIBs are
    int bitCount;  // bits per pixel of the stored rows
};

// Uncompressed 1, 4, 8, 16, 24 and 32 bpp, plus BI_BITFIELDS at 16/32 bpp;
// the image is opaque. With paletteIndices the colour table holds 16-bit
// indexes into a logical palette the caller does not have, so such paletted
// bitmaps are refused. nullopt for anything truncated, oversized or in
// another compression.
std::optional<Decoded> decode(ByteView dib, bool paletteIndices = false);

// A whole bitmap file ("BM", the file header, then a DIB whose pixel rows
// start at the header's offset), at most maxSide a side. Besides what
// decode() takes: RLE8 and RLE4, bottom-up only, where every pixel the stream
// skips (deltas, early end of line or of bitmap) is palette entry 0; a run
// or delta that leaves the bitmap, or a stream that ends without its
// end-of-bitmap mark, is refused, as is a colour count above 256 at more than
// 8 bpp. The image is opaque, except a 32 bpp BI_BITFIELDS bitmap whose
// header (56 bytes or more) declares a non-zero alpha mask: that alpha is
// kept, unless every pixel's alpha is zero, which only writers that leave the
// byte unused produce.
std::optional<Decoded> decodeFile(ByteView file, int maxSide);

// An icon entry's DIB: an info header of 40 bytes or more, a bottom-up
// bitmap of twice the image's height (the XOR image, then the AND mask), at
// most maxSide a side and maxPixels in all. A pixel the mask marks has alpha
// 0 and keeps its XOR colour. A 32 bpp entry with any non-zero alpha is
// drawn by that alpha alone and may leave its mask out; one whose alpha is
// all zero takes the mask like the lower depths. A colour count above 2^bpp
// is taken as 2^bpp and an index past a short table as its first colour, so
// one corrupt field does not lose an otherwise readable icon.
std::optional<Decoded> decodeIcon(ByteView payload, int maxSide, qint64 maxPixels);

} // namespace dib
