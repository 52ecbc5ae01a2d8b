#include "formats/bitmap_info.h"

#include "formats/whole_file.h"

#include <QFile>
#include <QLocale>
#include <cmath>

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kHeaderBytes = 54;

// 2 to the power of a signed bit count, as a number would print: whole
// numbers in full while exact, otherwise in scientific notation.
QString powerOfTwo(int bits)
{
    const double v = std::ldexp(1.0, bits);
    if (bits >= 0 && bits <= 52)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15).toUpper();
}

} // namespace

BitmapInfoFields decodeBitmapInfo(const QByteArray &head)
{
    // The info header's fields at their fixed places, whatever its size says.
    return dib::infoFields(ByteView(head).from(kFileHeaderBytes));
}

bool readBitmapInfo(const QString &path, BitmapInfoFields *out)
{
    return readBitmapInfoAt(QFile::encodeName(path), out);
}

bool readBitmapInfoAt(const QByteArray &nativePath, BitmapInfoFields *out)
{
    // No name is no file; a pipe or device is refused without waiting on it.
    const auto head = readPlainFileStart(nativePath, kHeaderBytes);
    if (!head)
        return false;
    *out = decodeBitmapInfo(*head);
    return true;
}

BitmapInfoTexts describeBitmapInfo(const BitmapInfoFields &f, const QLocale &locale)
{
    BitmapInfoTexts t;
    t.values[0] = QString::number(f.width) + QStringLiteral(" pixels");
    t.values[1] = QString::number(f.height) + QStringLiteral(" pixels");
    t.values[2] = f.sizeImage != 0 ? locale.toString(f.sizeImage) + QStringLiteral(" bytes")
                                   : QStringLiteral("BI_RGB bitmap; size variable.");
    t.values[3] = QString::number(f.planes);
    t.values[4] = QStringLiteral("%1 (%2 colours)").arg(f.bitCount).arg(powerOfTwo(f.bitCount));
    switch (f.compression) {
    case 0: t.values[5] = QStringLiteral("Uncompressed bitmap."); break;
    case 1: t.values[5] = QStringLiteral("Run-length encoded (RLE) format for bitmaps with 8 bits per pixel."); break;
    case 2: t.values[5] = QStringLiteral("Run-length encoded (RLE) format for bitmaps with 4 bits per pixel."); break;
    case 3: t.values[5] = QStringLiteral("Uncompressed 16- or 32-bit-per-pixel format."); break;
    default: t.values[5] = QStringLiteral("Unknown compression (code %1).").arg(f.compression); break;
    }
    return t;
}
