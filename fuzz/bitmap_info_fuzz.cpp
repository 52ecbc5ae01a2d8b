// Any bytes as the head of a "bitmap": the header fields and their texts.
#include "formats/bitmap_info.h"

#include <QLocale>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray head(reinterpret_cast<const char *>(data), qsizetype(size));
    const BitmapInfoTexts t = describeBitmapInfo(decodeBitmapInfo(head), QLocale::c());
    return t.values[5].isEmpty() ? 1 : 0;
}
