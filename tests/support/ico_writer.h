#pragma once
// Builds ICO and CUR files in memory, so reader tests control every byte they
// feed in. Valid by default; the knobs below and the field offsets (patched
// with putLe16/putLe32) make the broken files.

#include "support/dib_pixels.h"

#include <QByteArray>
#include <QImage>
#include <optional>
#include <vector>

struct IcoWriterEntry
{
    // Indexed8 (its colour table is the palette) for 1/4/8 bpp, any RGB
    // format otherwise.
    QImage image;
    int bitCount = 32; // 1, 4, 8, 16, 24 or 32; ignored for PNG
    bool png = false;  // store the image as a PNG payload instead of a DIB
    // The AND mask, row-major top-down. Empty: transparent where the image's
    // alpha is 0.
    std::vector<bool> transparent;

    // Layout knobs.
    std::optional<quint32> clrUsed;    // biClrUsed; default: palette size (<= 8 bpp) or 0
    int paletteEntries = -1;           // colour quads written; -1: the image's colour table size
    bool zeroAlpha = false;            // 32 bpp: alpha 0 everywhere, leaving it to the mask
    bool omitMask = false;             // leave the AND mask out
    bool bitfields = false;            // 16/32 bpp: BI_BITFIELDS, masks after the header
    DibMasks masks = kDib555Masks;     // used when bitfields is set
    std::optional<QByteArray> payload; // write these bytes instead of an encoded image
    int hotspotX = 0, hotspotY = 0;    // cursors only
};

enum class IcoKind : quint16 { Icon = 1, Cursor = 2 };

struct IcoFile
{
    QByteArray bytes;
    std::vector<qsizetype> payloadOffsets; // where each entry's image data starts
};

// Field offsets for patching.
namespace icofield {
inline constexpr int kReserved = 0;
inline constexpr int kType = 2;
inline constexpr int kCount = 4;
inline constexpr int dirEntry(int i) { return 6 + 16 * i; }
// Within a directory entry.
inline constexpr int kDirWidth = 0;
inline constexpr int kDirHeight = 1;
inline constexpr int kDirBytesInRes = 8;
inline constexpr int kDirImageOffset = 12;
// Within a DIB payload's BITMAPINFOHEADER.
inline constexpr int kBiSize = 0;
inline constexpr int kBiWidth = 4;
inline constexpr int kBiHeight = 8;
inline constexpr int kBiBitCount = 14;
inline constexpr int kBiCompression = 16;
inline constexpr int kBiClrUsed = 32;
inline constexpr int kInfoHeaderSize = 40;
} // namespace icofield

// The payload bytes (DIB or PNG) of one entry.
QByteArray icoEntryPayload(const IcoWriterEntry &entry);

IcoFile writeIcoFile(const std::vector<IcoWriterEntry> &entries, IcoKind kind = IcoKind::Icon);
inline QByteArray writeIco(const std::vector<IcoWriterEntry> &entries, IcoKind kind = IcoKind::Icon)
{
    return writeIcoFile(entries, kind).bytes;
}
