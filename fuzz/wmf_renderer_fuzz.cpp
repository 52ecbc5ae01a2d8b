// Feeds arbitrary bytes to renderWmf. No QGuiApplication is created, so text
// records are parsed and bounds-checked but their glyphs are not drawn.
//
// Seeds in fuzz/corpus/wmf_renderer/ are written by the tests' WmfWriter:
//   TESSAREL_SOURCE_DIR=$PWD TESSAREL_UPDATE_FUZZ_SEEDS=1 \
//     ./build/tests/test_commands_wmf_renderer fuzzSeedsAreCurrent
// and the same test fails when they no longer match the generator.
//
// Run on a scratch copy so the checked-in seeds stay as generated:
//   cp -r fuzz/corpus/wmf_renderer /tmp/wmf_corpus
//   ./fuzz-build/fuzz/wmf_renderer_fuzz /tmp/wmf_corpus -max_total_time=60

#include "commands/wmf_renderer.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QImage> image = renderWmf(bytes);
    if (image && (image->width() > 4096 || image->height() > 4096))
        __builtin_trap();
    return 0;
}
