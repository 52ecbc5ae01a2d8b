// Library browser budget: listing a library of 200 icon groups and decoding
// each group's 32 x 32 image <= 10 ms.
#include "formats/icon_resources.h"
#include "support/exe_writer.h"

#include <benchmark/benchmark.h>

namespace {

IcoWriterEntry image(int side, int seed)
{
    IcoWriterEntry e;
    e.bitCount = 32;
    e.image = QImage(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            e.image.setPixel(x, y, qRgba(x * 7 + seed, y * 5 + seed, seed * 3, (x + y + seed) % 5 ? 255 : 0));
    return e;
}

// 200 groups of a 48 x 48, a 32 x 32 and a 16 x 16 image at 32 bits, each
// image its own resource.
void BM_ReadIconLibrary_200Groups(benchmark::State &state)
{
    std::vector<ExeIconGroup> groups;
    for (int g = 0; g < 200; ++g)
        groups.push_back({{}, quint16(g + 1), {image(48, g), image(32, g), image(16, g)}});
    const QByteArray file = writePe(groups).bytes;
    for (auto _ : state) {
        const auto icons = readIconLibrary(file);
        if (!icons || icons->size() != 200) {
            state.SkipWithError("library not read");
            break;
        }
        benchmark::DoNotOptimize(icons->back().constBits());
    }
    state.counters["file_kB"] = double(file.size()) / 1024;
}
BENCHMARK(BM_ReadIconLibrary_200Groups)->Unit(benchmark::kMillisecond);

} // namespace
