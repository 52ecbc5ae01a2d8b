// Reads any bytes as an icon, replaces the entry Open shows as Save does, and
// reads the result back: an accepted file must always be updated, keep its
// entry count and every other entry's bytes, and read back whole.
// Seeds: the reader's (fuzz/corpus/ico_writer is a link to fuzz/corpus/ico_reader).

#include "formats/ico_reader.h"
#include "formats/icon_file.h"

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
    QImage drawn(32, 32, QImage::Format_ARGB32);
    drawn.fill(qRgb(10, 200, 30));
    const int shown = chooseOpenEntry(*entries);
    const auto updated = replaceIcoEntry(bytes, shown, drawn);
    if (!updated)
        std::abort(); // Save would fall back to a new file and lose the other entries
    const auto back = readIcoEntries(*updated);
    if (!back || back->size() != entries->size())
        std::abort();
    const QImage &mine = (*back)[size_t(shown)].image;
    if (mine.size() != drawn.size() || mine.pixel(0, 0) != drawn.pixel(0, 0))
        std::abort();
    return 0;
}
