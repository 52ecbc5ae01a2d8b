#include "support/ico_fuzz_seeds.h"

#include "support/ico_writer.h"
#include "support/seed_pictures.h"

namespace {

QImage argbPattern(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 40, y * 40, 200, (x + y) % 3 == 0 ? 0 : 255));
    return image;
}

using seed::entry;

} // namespace

std::vector<std::pair<QString, QByteArray>> icoFuzzSeeds()
{
    std::vector<std::pair<QString, QByteArray>> seeds;
    seeds.emplace_back("mono.ico", writeIco({entry(seed::indexed(5, 3, 2), 1)}));
    seeds.emplace_back("16colour.ico", writeIco({entry(seed::indexed(6, 4, 16), 4)}));
    seeds.emplace_back("256colour.ico", writeIco({entry(seed::indexed(4, 4, 256), 8)}));

    IcoWriterEntry bitfields = entry(argbPattern(3, 3), 16);
    bitfields.bitfields = true;
    bitfields.masks = {0xF800, 0x07E0, 0x001F};
    seeds.emplace_back("mixed.ico", writeIco({entry(argbPattern(4, 2), 24), entry(argbPattern(3, 3), 16), bitfields}));

    IcoWriterEntry zeroAlpha = entry(argbPattern(4, 4), 32);
    zeroAlpha.zeroAlpha = true;
    seeds.emplace_back("alpha.ico", writeIco({entry(argbPattern(4, 4), 32), zeroAlpha}));

    IcoWriterEntry png = entry(argbPattern(4, 4), 32);
    png.png = true;
    seeds.emplace_back("png.ico", writeIco({png}));

    IcoWriterEntry cursor = entry(seed::indexed(4, 4, 2), 1);
    cursor.hotspotX = 2;
    cursor.hotspotY = 1;
    seeds.emplace_back("pointer.cur", writeIco({cursor}, IcoKind::Cursor));
    return seeds;
}
