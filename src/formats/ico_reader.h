#pragma once
// Our own ICO/CUR decoder. Qt's reader ignores the AND mask of 16/24/32-bit
// entries, which loses the transparent pixels of most old icons, so Open and
// the entry picker read files through this instead.

#include "formats/byte_view.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <optional>
#include <vector>

// Icons are small; anything larger is a corrupt size field, and rejecting it
// up front keeps a hostile file from making us allocate gigabytes.
inline constexpr int kMaxIconSide = 1024;
// Directory entries may all point at the same payload, so the per-entry cap
// alone does not bound memory. Sixteen 1024x1024 images is far beyond any real
// icon file; a file with more pixels in all is not read.
inline constexpr qint64 kMaxIconFilePixels = 16LL * kMaxIconSide * kMaxIconSide;

struct IcoEntry
{
    int width = 0, height = 0; // of the decoded image (directory bytes are not trusted)
    int bitCount = 0;          // bits per pixel; PNG: IHDR depth times channels
    bool png = false;
    // Format_ARGB32, not premultiplied. A pixel the AND mask marks transparent
    // has alpha 0 but keeps the XOR colour in its RGB, so a caller can tell
    // "screen" (black) from "inverse screen" (non-black) pixels. Entries with
    // their own alpha (PNG, 32-bit with any non-zero alpha) keep that alpha.
    QImage image;
};

// What a PNG's IHDR chunk (which must come first) declares, read before any
// decoder sees the data so that a huge declared image is refused before it
// is allocated. nullopt when the bytes after the signature hold no IHDR.
struct PngHeader
{
    quint32 width = 0, height = 0;
    uchar depth = 0, colourType = 0;
};
std::optional<PngHeader> readPngHeader(ByteView png);

// All entries in directory order, or std::nullopt when the data is not a
// readable icon or cursor file. One broken entry makes the whole file
// unreadable: a half-read file would silently lose images on save.
std::optional<std::vector<IcoEntry>> readIcoEntries(const QByteArray &data);

// One image as executables keep it in an icon resource: the bytes an ICO
// entry's offset points at (a DIB with its AND mask, or a PNG), without the
// file's directory. Decoded exactly as an entry of readIcoEntries.
std::optional<IcoEntry> decodeIconImage(QByteArrayView payload);

// The entry Open shows first: the 32x32 one (with several, the most colours;
// first on a tie), else the largest by area with both sides below 32 (first on
// a tie), else the first. -1 for an empty list.
int chooseOpenEntry(const std::vector<IcoEntry> &entries);
