#include "formats/icon_file.h"

#include "formats/bitmap_file.h"
#include "formats/byte_view.h"
#include "formats/ico_reader.h"
#include "formats/whole_file.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr int kHeaderBytes = 6;
constexpr int kDirEntryBytes = 16;
// An existing file larger than this is not read back as an icon to update.
constexpr qint64 kMaxIconFileBytes = 64 * 1024 * 1024;

void put16(QByteArray &b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
void put32(QByteArray &b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

// A directory entry's size byte: 0 stands for 256.
char sizeByte(int n) { return char(n >= 256 ? 0 : n); }

struct Entry
{
    QByteArray dir;     // the 16 directory bytes as the file has them
    QByteArray payload; // the bytes the entry points at
};

// The entries of a file whose directory and data are whole, in order.
std::optional<std::vector<Entry>> splitEntries(const QByteArray &file)
{
    const ByteView v(file);
    if (!v.has(0, kHeaderBytes) || v.u16(0) != 0 || (v.u16(2) != 1 && v.u16(2) != 2))
        return std::nullopt;
    const int count = v.u16(4);
    if (count == 0 || !v.has(kHeaderBytes, qsizetype(count) * kDirEntryBytes))
        return std::nullopt;
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = kHeaderBytes + qsizetype(i) * kDirEntryBytes;
        const quint32 size = v.u32(at + 8), offset = v.u32(at + 12);
        if (!v.has(offset, size))
            return std::nullopt;
        entries.push_back({file.mid(at, kDirEntryBytes), file.mid(offset, size)});
    }
    return entries;
}

QByteArray join(quint16 type, const std::vector<Entry> &entries)
{
    QByteArray out;
    put16(out, 0);
    put16(out, type);
    put16(out, quint16(entries.size()));
    quint32 offset = quint32(kHeaderBytes + entries.size() * kDirEntryBytes);
    for (const Entry &e : entries) {
        out.append(e.dir.left(8));
        put32(out, quint32(e.payload.size()));
        put32(out, offset);
        offset += quint32(e.payload.size());
    }
    for (const Entry &e : entries)
        out.append(e.payload);
    return out;
}

QByteArray dirEntry(const QImage &image, quint16 planesOrHotX, quint16 bitsOrHotY)
{
    QByteArray d;
    d.append(sizeByte(image.width()));
    d.append(sizeByte(image.height()));
    d.append(char(0)); // no palette
    d.append(char(0));
    put16(d, planesOrHotX);
    put16(d, bitsOrHotY);
    put32(d, 0); // size and offset are set when the file is joined
    put32(d, 0);
    return d;
}

} // namespace

QByteArray icoEntryImage(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray out;
    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(h * 2)); // colour rows and mask rows
    put16(out, 1);
    put16(out, 32);
    put32(out, 0); // BI_RGB
    put32(out, quint32(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) { // bottom-up
        const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(char(qBlue(row[x])));
            out.append(char(qGreen(row[x])));
            out.append(char(qRed(row[x])));
            out.append(char(qAlpha(row[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray mask(maskStride, '\0');
        const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = char(quint8(mask[x / 8]) | (0x80 >> (x % 8)));
        out.append(mask);
    }
    return out;
}

std::optional<QByteArray> replaceIcoEntry(const QByteArray &file, int index, const QImage &image)
{
    auto entries = splitEntries(file);
    if (!entries || index < 0 || index >= int(entries->size()))
        return std::nullopt;
    const ByteView v(file);
    const quint16 type = v.u16(2);
    Entry &e = (*entries)[size_t(index)];
    // A cursor keeps its hot spot where an icon has planes and bit count.
    const ByteView old(e.dir);
    e.dir = type == 2 ? dirEntry(image, old.u16(4), old.u16(6)) : dirEntry(image, 1, 32);
    e.payload = icoEntryImage(image);
    return join(type, *entries);
}

QByteArray newIcoFile(const QImage &image) { return join(1, {Entry{dirEntry(image, 1, 32), icoEntryImage(image)}}); }

bool isIconOrPngName(const QString &path)
{
    const QString lower = path.toLower();
    return lower.endsWith(QLatin1String(".ico")) || lower.endsWith(QLatin1String(".cur"))
        || lower.endsWith(QLatin1String(".png"));
}

bool saveIconOrPng(const QImage &picture, const QString &path, std::optional<QRgb> transparent, QString *error)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (transparent)
        for (int y = 0; y < image.height(); ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((row[x] & 0xFFFFFFu) == (*transparent & 0xFFFFFFu))
                    row[x] = 0; // alpha 0; the AND mask follows the alpha
        }
    if (path.toLower().endsWith(QLatin1String(".png")))
        return saveEncodedFile(image, "PNG", path, error);
    if (!isIconOrPngName(path)) {
        if (error)
            *error = QStringLiteral("the name asks for no icon or PNG file");
        return false;
    }
    // Over a readable icon file only the entry Open shows changes.
    std::optional<QByteArray> updated;
    if (const auto old = readPlainFile(QFile::encodeName(path), kMaxIconFileBytes))
        if (const auto entries = readIcoEntries(*old))
            updated = replaceIcoEntry(*old, chooseOpenEntry(*entries), image);
    return writeWholeFile(path, updated ? *updated : newIcoFile(image), error);
}
