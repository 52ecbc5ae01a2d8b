// Feeds arbitrary bytes to decodePicture, the way Open reads a file: the
// bitmap and GIF structure checks, our DIB decoder for bitmaps, Qt's GIF
// reader behind its check and its PNG reader behind the size check. The DIB decoder also gets every bitmap file the
// check refuses, so its own bounds checks and clipping are exercised.
//
// Seeds in fuzz/corpus/picture_loader/ are written by the tests' BMP, GIF and PNG writers:
//   TESSAREL_SOURCE_DIR=$PWD TESSAREL_UPDATE_FUZZ_SEEDS=1 \
//     ./build/tests/test_formats_picture_loader fuzzSeedsAreCurrent
// and the same test fails when they no longer match the generator.
//
// Run on a scratch copy so the checked-in seeds stay as generated:
//   cp -r fuzz/corpus/picture_loader /tmp/picture_corpus
//   ./fuzz-build/fuzz/picture_loader_fuzz /tmp/picture_corpus -max_total_time=60

#include "formats/dib_decoder.h"
#include "formats/picture_loader.h"
#include "formats/picture_validation.h"

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

namespace {

bool opaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

// A 32 bpp BI_BITFIELDS bitmap file whose header holds a non-zero alpha
// mask: the one kind whose decoded picture may be transparent.
bool declaresAlpha(const QByteArray &d)
{
    auto le32 = [&](int i) {
        return quint32(quint8(d[i])) | quint32(quint8(d[i + 1])) << 8 | quint32(quint8(d[i + 2])) << 16 |
               quint32(quint8(d[i + 3])) << 24;
    };
    return d.size() >= 14 + 56 && le32(14) >= 56 && (quint8(d[28]) | quint8(d[29]) << 8) == 32 && le32(30) == 3 &&
           le32(14 + 52) != 0;
}

// Width times height as the info header gives them (the structural check has
// made sure the header is there).
qint64 pixelsClaimed(const QByteArray &d)
{
    auto at = [&](int i) { return qint64(quint8(d[i])); };
    if ((at(14) | at(15) << 8) == 12)
        return (at(18) | at(19) << 8) * (at(20) | at(21) << 8);
    const qint32 width = qint32(quint32(at(18) | at(19) << 8 | at(20) << 16 | at(21) << 24));
    const qint32 height = qint32(quint32(at(22) | at(23) << 8 | at(24) << 16 | at(25) << 24));
    return qint64(width) * qAbs(qint64(height));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QImage> picture = decodePicture(bytes);
    if (picture && (picture->format() != QImage::Format_ARGB32 || picture->isNull()
                    || qint64(picture->width()) * picture->height() > dib::kMaxPixels))
        __builtin_trap();

    const auto decoded = dib::decodeFile(data, qsizetype(size));
    if (decoded && (decoded->image.isNull() || (!declaresAlpha(bytes) && !opaque(decoded->image))))
        __builtin_trap();
    // A bitmap that passes the structural check is one the decoder takes,
    // unless it has more pixels than the decoder allocates.
    if (bytes.startsWith("BM") && isWholeBitmap(bytes, 16384) && !decoded && pixelsClaimed(bytes) <= dib::kMaxPixels)
        __builtin_trap();
    return 0;
}
