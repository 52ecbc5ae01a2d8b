// Feeds arbitrary bytes to decodePicture, the way Open reads a file: our DIB
// decoder for bitmaps (it checks their structure itself), Qt's GIF reader
// behind the GIF check and its PNG reader behind the size check.
//
// Seeds in fuzz/corpus/picture_loader/ are written by the tests' BMP, GIF and PNG writers:
//   TESSAREL_SOURCE_DIR=$PWD TESSAREL_UPDATE_FUZZ_SEEDS=1 \
//     ./build/tests/test_formats_picture_loader fuzzSeedsAreCurrent
// and the same test fails when they no longer match the generator.
//
// Run on a scratch copy so the checked-in seeds stay as generated:
//   cp -r fuzz/corpus/picture_loader /tmp/picture_corpus
//   ./fuzz-build/fuzz/picture_loader_fuzz /tmp/picture_corpus -max_total_time=60

#include "formats/byte_view.h"
#include "formats/dib_decoder.h"
#include "formats/picture_loader.h"

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

namespace {

// A check of ours, not the decoder: kept out of the coverage counters (and
// the size read once, not per pixel), which on a large picture cost more than
// the decoding and guide nothing.
__attribute__((no_sanitize("coverage"))) bool opaque(const QImage &image)
{
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

// A 32 bpp BI_BITFIELDS bitmap file whose header holds a non-zero alpha
// mask: the one kind whose decoded picture may be transparent.
bool declaresAlpha(ByteView d)
{
    return d.has(0, 14 + 56) && d.u32(14) >= 56 && d.u16(28) == 32 && d.u32(30) == 3 && d.u32(14 + 52) != 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QImage> picture = decodePicture(bytes);
    if (picture
        && (picture->format() != QImage::Format_ARGB32 || picture->isNull()
            || qint64(picture->width()) * picture->height() > dib::kMaxPixels))
        __builtin_trap();
    // Only a bitmap whose header declares alpha may come out transparent.
    if (picture && bytes.startsWith("BM") && !declaresAlpha(ByteView(data, qint64(size))) && !opaque(*picture))
        __builtin_trap();
    return 0;
}
