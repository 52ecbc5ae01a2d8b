// Feeds arbitrary bytes to renderWmf. A QGuiApplication on the offscreen
// platform is created first, so text records are drawn with real fonts and
// the text path is fuzzed along with the rest.
//
// Seeds in fuzz/corpus/wmf_renderer/ are written by the tests' WmfWriter:
//   TESSAREL_SOURCE_DIR=$PWD TESSAREL_UPDATE_FUZZ_SEEDS=1 \
//     ./build/tests/test_formats_wmf_renderer fuzzSeedsAreCurrent
// and the same test fails when they no longer match the generator.
//
// Run on a scratch copy so the checked-in seeds stay as generated:
//   cp -r fuzz/corpus/wmf_renderer /tmp/wmf_corpus
//   ./fuzz-build/fuzz/wmf_renderer_fuzz /tmp/wmf_corpus -max_total_time=60

#include "formats/wmf_renderer.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept for the whole run: fonts need a GUI application. It gets only the
    // program name, so it cannot take libFuzzer's flags for its own.
    static int appArgc = *argc > 0 ? 1 : 0;
    static char *appArgv[] = {*argc > 0 ? (*argv)[0] : nullptr, nullptr};
    static QGuiApplication app(appArgc, appArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QImage> image = renderWmf(bytes);
    if (image && (image->width() > 4096 || image->height() > 4096))
        __builtin_trap();
    return 0;
}
