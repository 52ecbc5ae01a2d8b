#include "formats/picture_loader.h"

#include "formats/byte_view.h"
#include "formats/dib_decoder.h"
#include "formats/ico_reader.h"
#include "formats/picture_validation.h"
#include "formats/whole_file.h"
#include "formats/wmf_renderer.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace {

// Nothing the editor opens comes near this; a larger file is not an icon.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
constexpr int kMaxSide = 16384;

bool looksLikeIcon(ByteView d) { return d.has(0, 6) && d.u16(0) == 0 && (d.u16(2) == 1 || d.u16(2) == 2); }

bool looksLikeMetafile(ByteView d)
{
    if (d.has(0, 4) && d.u32(0) == 0x9AC6CDD7u)
        return true; // placeable header
    return d.has(0, 18) && (d.u16(0) == 1 || d.u16(0) == 2) && d.u16(2) == 9;
}

bool looksLikePng(const QByteArray &d) { return d.startsWith("\x89PNG\r\n\x1a\n"); }

// A PNG (favicons named .ico often are): the size in its IHDR chunk is
// checked before the image is allocated, and a file libpng cannot read to
// its end is refused rather than shown in part.
std::optional<QImage> decodePng(const QByteArray &data)
{
    const std::optional<PngHeader> header = readPngHeader(ByteView(data));
    if (!header)
        return std::nullopt;
    const qint64 width = header->width, height = header->height;
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || width * height > dib::kMaxPixels)
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() != width || image.height() != height)
        return std::nullopt;
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

std::optional<QImage> decodePicture(const QByteArray &data)
{
    const ByteView bytes(data);
    if (looksLikePng(data))
        return decodePng(data);
    if (looksLikeIcon(bytes)) {
        const auto entries = readIcoEntries(data);
        if (!entries)
            return std::nullopt;
        const int pick = chooseOpenEntry(*entries);
        if (pick < 0)
            return std::nullopt;
        return (*entries)[size_t(pick)].image.convertToFormat(QImage::Format_ARGB32);
    }
    if (looksLikeMetafile(bytes))
        return isWholeMetafile(data) ? renderWmf(data) : std::nullopt;

    if (data.startsWith("BM")) {
        auto decoded = dib::decodeFile(bytes, kMaxSide);
        if (!decoded)
            return std::nullopt;
        return std::move(decoded->image);
    }
    if (!isWholeGif(data, kMaxSide))
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    // The same ceiling as for bitmaps: Qt would allocate the whole screen.
    const QSize size = reader.size();
    if (qint64(size.width()) * size.height() > dib::kMaxPixels)
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return image.convertToFormat(QImage::Format_ARGB32);
}

std::optional<QImage> loadPictureAt(const QByteArray &nativePath)
{
    // A pipe or device in a picture's place is refused, never waited on.
    const auto bytes = readPlainFile(nativePath, kMaxFileBytes);
    if (!bytes)
        return std::nullopt;
    return decodePicture(*bytes);
}

std::optional<QImage> loadPicture(const QString &path)
{
    // No name is no file.
    if (path.isEmpty())
        return std::nullopt;
    return loadPictureAt(QFile::encodeName(path));
}
