// Feeds arbitrary bytes to the ICO/CUR reader.
//
// Seeds in fuzz/corpus/ico_reader/ are small valid files (one per entry kind:
// 1/4/8/16/24/32-bit, bitfields, PNG, cursor) made by the test writer:
//   TESSAREL_WRITE_ICO_SEEDS=$PWD/fuzz/corpus/ico_reader \
//     ./build/tests/test_formats_ico_reader fuzzSeedsRead
// Run on a scratch copy so new finds stay out of the repository:
//   cp -r fuzz/corpus/ico_reader /tmp/ico_corpus
//   ./fuzz-build/fuzz/ico_reader_fuzz -max_total_time=60 /tmp/ico_corpus

#include "formats/ico_reader.h"

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto entries = readIcoEntries(bytes);
    if (!entries)
        return 0;
    // What the reader promises about anything it accepts.
    if (entries->empty())
        std::abort();
    for (const IcoEntry &e : *entries) {
        if (e.width < 1 || e.width > 1024 || e.height < 1 || e.height > 1024
            || e.image.format() != QImage::Format_ARGB32 || e.image.width() != e.width || e.image.height() != e.height)
            std::abort();
    }
    const int chosen = chooseOpenEntry(*entries);
    if (chosen < 0 || chosen >= int(entries->size()))
        std::abort();
    return 0;
}
