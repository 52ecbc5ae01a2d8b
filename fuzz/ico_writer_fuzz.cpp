// Reads any bytes as an icon and saves over it as Save does, with the sizes
// and the transparency chosen by the input's last byte: an accepted file must
// always be updated, keep its entries of sizes not offered byte for byte,
// hold the shown entry at its size and no offered size that was not asked
// for (the sizes as held when none are asked), and read back whole.
// Seeds: the reader's (fuzz/corpus/ico_writer is a link to fuzz/corpus/ico_reader).

#include "formats/ico_reader.h"
#include "formats/icon_file.h"

#include <QImage>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

int squareSide(const IcoEntry &e) { return e.width == e.height ? e.width : 0; }

bool offered(int side) { return std::find(kIconSizes.begin(), kIconSizes.end(), side) != kIconSizes.end(); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto entries = readIcoEntries(bytes);
    if (!entries)
        return 0;
    // Bits 0-1 ask for 16 and 24; the larger sizes only on rare values, since
    // encoding and decoding them would dominate a run; bit 4 makes the
    // picture's colour transparent; bit 7 leaves the sizes as held.
    const uint8_t choice = data[size - 1];
    std::optional<std::vector<int>> sizes;
    if (!(choice & 0x80)) {
        sizes.emplace();
        for (int i = 0; i < 2; ++i)
            if (choice & (1 << i))
                sizes->push_back(kIconSizes[size_t(i)]);
        if (choice >= 0x7C) // 0x7C..0x7F: 48, 64, 128, 256
            sizes->push_back(kIconSizes[size_t(choice - 0x7C + 2)]);
    }
    const bool transparent = choice & 0x10;
    QImage drawn(32, 32, QImage::Format_ARGB32);
    drawn.fill(qRgb(10, 200, 30));
    const QImage saved = withTransparent(drawn, transparent ? std::optional(qRgb(10, 200, 30)) : std::nullopt);

    const int shown = chooseOpenEntry(*entries);
    const ExistingIcon existing{bytes, *entries, shown};
    const auto updated = buildIconFile(&existing, saved, sizes);
    check(bool(updated)); // else Save would fall back to a new file and lose the other entries
    const auto back = readIcoEntries(*updated);
    check(bool(back));
    const int shownSide = squareSide((*entries)[size_t(shown)]);
    const auto asked = [&](int side) { return sizes && std::count(sizes->begin(), sizes->end(), side) > 0; };
    // Entries kept: the shown one, those of sizes not offered, and offered ones asked for.
    size_t kept = 0;
    for (size_t i = 0; i < entries->size(); ++i) {
        const int side = squareSide((*entries)[i]);
        kept += int(i) == shown || !sizes || !offered(side) || asked(side);
    }
    size_t added = 0;
    for (int s : sizes.value_or(std::vector<int>{}))
        added += std::none_of(entries->begin(), entries->end(), [s](const IcoEntry &e) { return squareSide(e) == s; });
    // A size is not added where the reader's pixel budget would refuse the file.
    check(back->size() >= kept && back->size() <= kept + added);
    for (const IcoEntry &e : *back) {
        const int side = squareSide(e);
        check(!sizes || !offered(side) || asked(side) || side == shownSide);
    }
    // The shown entry keeps its place among the kept ones and its size.
    size_t at = 0;
    for (int i = 0; i < shown; ++i) {
        const int side = squareSide((*entries)[size_t(i)]);
        at += !sizes || !offered(side) || asked(side);
    }
    const IcoEntry &mine = (*back)[at];
    check(mine.image.size() == (*entries)[size_t(shown)].image.size());
    check(transparent ? qAlpha(mine.image.pixel(0, 0)) == 0 : mine.image.pixel(0, 0) == drawn.pixel(0, 0));
    return 0;
}
