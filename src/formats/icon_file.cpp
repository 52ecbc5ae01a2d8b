#include "formats/icon_file.h"

#include "formats/bitmap_file.h"
#include "formats/byte_view.h"
#include "formats/dib_decoder.h"
#include "formats/whole_file.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QStringList>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int kHeaderBytes = 6;
constexpr int kDirEntryBytes = 16;
constexpr int kInfoHeaderBytes = 40;
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
    int side = 0;       // of a square entry, else 0 (sorts new files, matches sizes)
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

// Width, height, colour count, reserved, then planes and bit count (a
// cursor's hot spot); size and offset are set when the file is joined.
QByteArray dirEntry(QSize size, int colours, quint16 planesOrHotX, quint16 bitsOrHotY)
{
    QByteArray d;
    d.append(sizeByte(size.width()));
    d.append(sizeByte(size.height()));
    d.append(char(colours >= 256 ? 0 : colours));
    d.append(char(0));
    put16(d, planesOrHotX);
    put16(d, bitsOrHotY);
    put32(d, 0);
    put32(d, 0);
    return d;
}

void putInfoHeader(QByteArray &out, QSize size, int bits, quint32 imageBytes, quint32 coloursUsed)
{
    put32(out, kInfoHeaderBytes);
    put32(out, quint32(size.width()));
    put32(out, quint32(size.height() * 2)); // colour rows and mask rows
    put16(out, 1);
    put16(out, quint16(bits));
    put32(out, 0); // BI_RGB
    put32(out, imageBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, coloursUsed);
    put32(out, 0);
}

// The AND mask, bottom row first: a bit set where the pixel's alpha is 0.
QByteArray andMask(const QImage &img)
{
    const int w = img.width(), h = img.height(), stride = ((w + 31) / 32) * 4;
    QByteArray out(qsizetype(stride) * h, '\0');
    for (int y = 0; y < h; ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        uchar *mask = reinterpret_cast<uchar *>(out.data()) + qsizetype(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x)
            if (qAlpha(row[x]) == 0)
                mask[x / 8] |= uchar(0x80 >> (x % 8));
    }
    return out;
}

// A 32-bit BGRA DIB (doubled height) and its AND mask. Transparent pixels are
// black in the colour rows, which every reader takes as "screen".
QByteArray bgraEntry(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    const QByteArray mask = andMask(img);
    QByteArray out;
    putInfoHeader(out, img.size(), 32, quint32(w * h * 4 + mask.size()), 0);
    const qsizetype pixelsAt = out.size();
    out.resize(pixelsAt + qsizetype(w) * h * 4);
    uchar *bgra = reinterpret_cast<uchar *>(out.data()) + pixelsAt;
    for (int y = h - 1; y >= 0; --y) { // bottom-up
        const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < w; ++x, bgra += 4) {
            const QRgb p = qAlpha(row[x]) ? row[x] : 0;
            bgra[0] = uchar(qBlue(p));
            bgra[1] = uchar(qGreen(p));
            bgra[2] = uchar(qRed(p));
            bgra[3] = uchar(qAlpha(p));
        }
    }
    return out + mask;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return bytes;
}

// `image` in the 1-, 4- or 8-bit layout of the old entry `payload`, with its
// colour table byte for byte; nullopt when the old entry has no plain palette
// or a pixel is neither one of its colours nor fully transparent (which needs
// black in the palette: a transparent pixel's colour must be black).
std::optional<QByteArray> indexedEntry(const QByteArray &payload, const QImage &image)
{
    const ByteView v(payload);
    if (!v.has(0, kInfoHeaderBytes) || v.u32(0) != kInfoHeaderBytes)
        return std::nullopt;
    const dib::InfoFields header = dib::infoFields(v);
    const int bits = header.bitCount;
    if (header.compression != 0 || header.height <= 0 || (bits != 1 && bits != 4 && bits != 8))
        return std::nullopt;
    const quint32 count = header.coloursUsed ? header.coloursUsed : 1u << bits;
    if (count > (1u << bits) || !v.has(kInfoHeaderBytes, qint64(count) * 4))
        return std::nullopt;
    std::vector<QRgb> palette;
    for (quint32 i = 0; i < count; ++i) {
        const qint64 at = kInfoHeaderBytes + qint64(i) * 4;
        palette.push_back(qRgb(v.u8(at + 2), v.u8(at + 1), v.u8(at)));
    }
    // Neighbouring pixels mostly share a colour: look the palette up only on a change.
    QRgb lastColour = 0;
    int lastIndex = -2;
    const auto indexOf = [&](QRgb rgb) -> int {
        rgb |= 0xFF000000u;
        if (rgb != lastColour || lastIndex == -2) {
            const auto it = std::find(palette.begin(), palette.end(), rgb);
            lastColour = rgb;
            lastIndex = it == palette.end() ? -1 : int(it - palette.begin());
        }
        return lastIndex;
    };
    const int w = image.width(), h = image.height();
    const int stride = ((w * bits + 31) / 32) * 4;
    QByteArray rows(qsizetype(stride) * h, '\0');
    for (int y = 0; y < h; ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        uchar *out = reinterpret_cast<uchar *>(rows.data()) + qsizetype(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const int alpha = qAlpha(row[x]);
            const int index = alpha == 255 ? indexOf(row[x]) : alpha == 0 ? indexOf(0) : -1;
            if (index < 0)
                return std::nullopt;
            const int bit = x * bits;
            out[bit / 8] |= uchar(index << (8 - bits - bit % 8));
        }
    }
    const QByteArray mask = andMask(image);
    QByteArray out;
    putInfoHeader(out, image.size(), bits, quint32(rows.size() + mask.size()), header.coloursUsed);
    out.append(payload.mid(kInfoHeaderBytes, qsizetype(count) * 4));
    return out + rows + mask;
}

// A new entry of `image`: PNG at 256 and up, else a 32-bit bitmap.
Entry newEntry(const QImage &image, quint16 type, QPoint hotSpot)
{
    const bool png = image.width() >= 256;
    const QByteArray dir = type == 2 ? dirEntry(image.size(), 0, quint16(hotSpot.x()), quint16(hotSpot.y()))
                                     : dirEntry(image.size(), 0, 1, 32);
    return {dir, png ? pngBytes(image) : bgraEntry(image), image.width() == image.height() ? image.width() : 0};
}

std::vector<int> wantedSizes(const std::vector<int> &sizes)
{
    std::vector<int> out;
    for (int s : kIconSizes)
        if (std::find(sizes.begin(), sizes.end(), s) != sizes.end())
            out.push_back(s);
    return out;
}

} // namespace

std::optional<QRgb> transparentShownAs(const QImage &picture, const QImage &shown)
{
    if (!picture.hasAlphaChannel())
        return std::nullopt;
    const QImage p = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < std::min(p.height(), shown.height()); ++y)
        for (int x = 0; x < std::min(p.width(), shown.width()); ++x)
            if (qAlpha(p.pixel(x, y)) == 0)
                return shown.pixel(x, y) | 0xFF000000u;
    return std::nullopt;
}

QImage withTransparent(const QImage &picture, std::optional<QRgb> colour)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (colour)
        for (int y = 0; y < image.height(); ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((row[x] & 0xFFFFFFu) == (*colour & 0xFFFFFFu))
                    row[x] = 0; // alpha 0; the AND mask follows the alpha
        }
    return image;
}

QImage iconSized(const QImage &picture, int size)
{
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    const int w = src.width(), h = src.height();
    QImage out(size, size, QImage::Format_ARGB32);
    if (w <= 0 || h <= 0 || size <= 0)
        return out;
    if (size >= w && size >= h) {
        for (int y = 0; y < size; ++y) {
            const QRgb *from = reinterpret_cast<const QRgb *>(src.constScanLine(y * h / size));
            QRgb *to = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < size; ++x)
                to[x] = from[x * w / size];
        }
        return out;
    }
    // Area averaging in units of 1/size source pixel: source pixel s spans
    // [s*size, (s+1)*size), target pixel d spans [d*w, (d+1)*w).
    const auto overlap = [size](int s, int d, int n) {
        return std::max(0, std::min((s + 1) * size, (d + 1) * n) - std::max(s * size, d * n));
    };
    for (int dy = 0; dy < size; ++dy)
        for (int dx = 0; dx < size; ++dx) {
            qint64 a = 0, r = 0, g = 0, b = 0;
            for (int sy = dy * h / size; sy < h && sy * size < (dy + 1) * h; ++sy)
                for (int sx = dx * w / size; sx < w && sx * size < (dx + 1) * w; ++sx) {
                    const qint64 weight = qint64(overlap(sx, dx, w)) * overlap(sy, dy, h);
                    const QRgb p = reinterpret_cast<const QRgb *>(src.constScanLine(sy))[sx];
                    const qint64 wa = weight * qAlpha(p);
                    a += wa;
                    r += wa * qRed(p);
                    g += wa * qGreen(p);
                    b += wa * qBlue(p);
                }
            const qint64 area = qint64(w) * h;
            const int alpha = int((a + area / 2) / area);
            reinterpret_cast<QRgb *>(out.scanLine(dy))[dx] =
                alpha ? qRgba(int((r + a / 2) / a), int((g + a / 2) / a), int((b + a / 2) / a), alpha) : 0;
        }
    return out;
}

QString describeIconEntries(const std::vector<IcoEntry> &entries)
{
    QStringList parts;
    for (const IcoEntry &e : entries)
        parts << QStringLiteral("%1 x %2 (%3)")
                     .arg(e.width)
                     .arg(e.height)
                     .arg(e.png ? QStringLiteral("PNG") : QStringLiteral("%1-bit").arg(e.bitCount));
    return parts.join(QStringLiteral(", "));
}

std::optional<QByteArray> buildIconFile(const ExistingIcon *existing, const QImage &pictureIn,
                                        const std::optional<std::vector<int>> &sizes)
{
    const QImage picture = pictureIn.convertToFormat(QImage::Format_ARGB32);
    const std::vector<int> wanted = wantedSizes(sizes.value_or(std::vector<int>{}));
    if (!existing) {
        std::vector<Entry> entries{newEntry(picture, 1, {})};
        for (int s : wanted)
            if (s != picture.width() || s != picture.height())
                entries.push_back(newEntry(iconSized(picture, s), 1, {}));
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry &a, const Entry &b) { return a.side < b.side; });
        return join(1, entries);
    }

    auto entries = splitEntries(existing->bytes);
    const std::vector<IcoEntry> *decoded = &existing->entries;
    const int shown = existing->shown;
    if (!entries || decoded->size() != entries->size() || shown < 0 || shown >= int(entries->size()))
        return std::nullopt;
    const quint16 type = ByteView(existing->bytes).u16(2);
    for (size_t i = 0; i < entries->size(); ++i) {
        const IcoEntry &d = (*decoded)[i];
        (*entries)[i].side = d.width == d.height ? d.width : 0;
    }

    // The shown entry, at its own size: what the canvas shows of it is the picture.
    const IcoEntry &old = (*decoded)[size_t(shown)];
    Entry &replaced = (*entries)[size_t(shown)];
    QImage image = picture;
    if (old.image.size() != picture.size()) {
        image = old.image.convertToFormat(QImage::Format_ARGB32);
        QPainter p(&image);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, picture);
    }
    // Planes and bit count, or a cursor's hot spot.
    const quint16 oldPlanes = ByteView(replaced.dir).u16(4), oldBits = ByteView(replaced.dir).u16(6);
    if (old.png) {
        replaced.payload = pngBytes(image);
    } else if (auto indexed = indexedEntry(replaced.payload, image)) {
        replaced.payload = *indexed; // the directory bytes still describe it
    } else {
        replaced.dir = type == 2 ? dirEntry(image.size(), 0, oldPlanes, oldBits) : dirEntry(image.size(), 0, 1, 32);
        replaced.payload = bgraEntry(image);
    }
    if (!sizes)
        return join(type, *entries);

    // Sizes the user unticked go, sizes ticked that the file lacks come,
    // smallest first, after the entries kept in their order.
    const auto listed = [](int side) {
        return std::find(kIconSizes.begin(), kIconSizes.end(), side) != kIconSizes.end();
    };
    const auto isWanted = [&](int side) { return std::find(wanted.begin(), wanted.end(), side) != wanted.end(); };
    std::vector<Entry> kept;
    // A size the reader's pixel budget has no room left for is not added.
    qint64 room = kMaxIconFilePixels;
    for (size_t i = 0; i < entries->size(); ++i) {
        const int side = (*entries)[i].side;
        if (int(i) == shown || !listed(side) || isWanted(side)) {
            kept.push_back(std::move((*entries)[i]));
            room -= qint64((*decoded)[i].width) * (*decoded)[i].height;
        }
    }
    // A cursor's new sizes keep the hot spot at the same place in the picture.
    const QPoint hotSpot(oldPlanes, oldBits);
    for (int s : wanted)
        if (std::none_of(kept.begin(), kept.end(), [s](const Entry &e) { return e.side == s; })
            && (room -= qint64(s) * s) >= 0)
            kept.push_back(newEntry(iconSized(picture, s), type,
                                    type == 2 ? hotSpot * s / std::max(1, picture.width()) : QPoint()));
    return join(type, kept);
}

std::optional<ExistingIcon> readExistingIcon(const QString &path)
{
    auto bytes = readPlainFile(QFile::encodeName(path), kMaxIconFileBytes);
    if (!bytes)
        return std::nullopt;
    auto entries = readIcoEntries(*bytes);
    if (!entries)
        return std::nullopt;
    const int shown = chooseOpenEntry(*entries);
    return ExistingIcon{std::move(*bytes), std::move(*entries), shown};
}

bool isIconOrPngName(const QString &path)
{
    const QString lower = path.toLower();
    return lower.endsWith(QLatin1String(".ico")) || lower.endsWith(QLatin1String(".cur"))
        || lower.endsWith(QLatin1String(".png"));
}

bool saveIconOrPng(const QImage &picture, const QString &path, const IconSaveOptions &options, QString *error)
{
    const QImage image = withTransparent(picture, options.transparent);
    if (path.toLower().endsWith(QLatin1String(".png")))
        return saveEncodedFile(image, "PNG", path, error);
    if (!isIconOrPngName(path)) {
        if (error)
            *error = QStringLiteral("the name asks for no icon or PNG file");
        return false;
    }
    // Over a readable icon file only the entry Open shows changes.
    std::optional<QByteArray> bytes;
    if (const auto old = readExistingIcon(path))
        bytes = buildIconFile(&*old, image, options.sizes);
    if (!bytes)
        bytes = buildIconFile(nullptr, image, options.sizes);
    return writeWholeFile(path, *bytes, error);
}
