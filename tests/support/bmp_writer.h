#pragma once
// Builds Windows BMP files in memory for the Open command's tests and the
// broken-file corpus: 1/4/8/24/32 bpp, optionally RLE8/RLE4 or top-down.

#include <QByteArray>
#include <QImage>
#include <array>
#include <optional>

enum class BmpCompression { None, Rle8, Rle4 };

struct BmpWriterOptions
{
    // 1/4/8 take pixel indexes and the palette from an Indexed8 image.
    int bitCount = 24;
    // Rle8 needs bitCount 8, Rle4 needs 4; other pairs are written as asked,
    // which makes a broken file.
    BmpCompression compression = BmpCompression::None;
    // A negative biHeight. The format allows it only uncompressed; combined
    // with RLE it makes a broken file.
    bool topDown = false;
    std::optional<quint32> clrUsed{}; // biClrUsed; default: the palette size (<= 8 bpp) or 0
    // biSize: 40, or a later header (52, 56, 64, 108, 124) or any other size of
    // at least 40, the bytes past the fields written here left zero. 12 writes
    // the old core header (16-bit sizes, three-byte palette entries).
    quint32 headerSize = 40;
    // Red, green, blue and alpha masks of a BI_BITFIELDS bitmap (16 or 32 bpp):
    // after a 40-byte header the first three follow it, a larger header holds
    // them (and the alpha mask from 56 bytes on). At 32 bpp the pixels are
    // written as BGRA bytes, alpha included, when the masks are the byte
    // channels FF0000, FF00, FF (the alpha mask does not change the bytes).
    std::optional<std::array<quint32, 4>> bitfields{};
};

// Field offsets for patching a written file.
namespace bmpfield {
inline constexpr int kFileSize = 2;
inline constexpr int kPixelOffset = 10;
inline constexpr int kInfoHeader = 14;
inline constexpr int kWidth = 18;
inline constexpr int kHeight = 22;
inline constexpr int kBitCount = 28;
inline constexpr int kCompression = 30;
inline constexpr int kClrUsed = 46;
inline constexpr int kPalette = 54;
} // namespace bmpfield

QByteArray writeBmp(const QImage &image, const BmpWriterOptions &options = {});

// RLE streams on their own (rows bottom-up, ending with end-of-bitmap), for
// tests that splice in hand-made runs.
QByteArray encodeRle8(const QImage &indexed);
QByteArray encodeRle4(const QImage &indexed);
