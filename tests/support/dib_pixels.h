#pragma once
// Packs a QImage into the uncompressed DIB pixel layout shared by BMP files
// and ICO entries: rows padded to 4 bytes, bottom-up unless asked otherwise.

#include <QByteArray>
#include <QImage>
#include <array>
#include <vector>

// Bit masks of a BI_BITFIELDS image, red, green, blue.
using DibMasks = std::array<quint32, 3>;

inline constexpr DibMasks kDib555Masks{0x7C00, 0x03E0, 0x001F};

// bitCount 1/4/8 takes pixel indexes from an Indexed8 image; 16 packs with
// `masks` (5-5-5 when left at its default); 24 writes BGR; 32 writes BGRA, or
// packs with `masks` (alpha dropped) when `useMasks32` is set.
QByteArray packDibPixels(const QImage &image, int bitCount, bool bottomUp = true, const DibMasks &masks = kDib555Masks,
                         bool useMasks32 = false);

// A 1-bit AND mask, bottom-up, rows padded to 4 bytes. `transparent` is
// row-major top-down, width * height long.
QByteArray packDibMask(const std::vector<bool> &transparent, int width, int height);

// The colour table as BGR0 quads, padded with black or cut to `entries`.
QByteArray packDibPalette(const QList<QRgb> &colours, int entries);
