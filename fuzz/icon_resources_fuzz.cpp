// Feeds arbitrary bytes to the icon-resource reader (PE, NE and icon files).
//
// Seeds in fuzz/corpus/icon_resources/ are small valid libraries (PE32,
// PE32+, NE with named and numbered groups, an icon file) made by the test
// writers:
//   TESSAREL_WRITE_ICON_RESOURCE_SEEDS=$PWD/fuzz/corpus/icon_resources \
//     ./build/tests/test_formats_icon_resources fuzzSeedsRead
// Run on a scratch copy so new finds stay out of the repository:
//   cp -r fuzz/corpus/icon_resources /tmp/icon_resources_corpus
//   ./fuzz-build/fuzz/icon_resources_fuzz -max_total_time=60 /tmp/icon_resources_corpus

#include "formats/icon_resources.h"

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto icons = readIconLibrary(bytes);
    const auto small = smallIconOf(bytes);
    // What the reader promises about anything it accepts.
    if (small && (small->size() != QSize(16, 16) || small->format() != QImage::Format_ARGB32))
        std::abort();
    if (!icons)
        return 0;
    if (icons->empty() || icons->size() > 10000)
        std::abort();
    for (const QImage &icon : *icons) {
        if (icon.size() != QSize(32, 32) || icon.format() != QImage::Format_ARGB32)
            std::abort();
    }
    const QImage shown = onSilver(icons->front());
    if (shown.size() != QSize(32, 32) || shown.pixel(0, 0) >> 24 != 0xFF)
        std::abort();
    return 0;
}
