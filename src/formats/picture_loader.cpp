#include "formats/picture_loader.h"

#include "formats/dib_decoder.h"
#include "formats/ico_reader.h"
#include "formats/picture_validation.h"
#include "formats/wmf_renderer.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Nothing the editor opens comes near this; a larger file is not an icon.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
constexpr int kMaxSide = 16384;

quint16 le16(const QByteArray &d, int at)
{
    return quint16(quint8(d[at])) | quint16(quint8(d[at + 1])) << 8;
}

bool looksLikeIcon(const QByteArray &d)
{
    return d.size() >= 6 && le16(d, 0) == 0 && (le16(d, 2) == 1 || le16(d, 2) == 2);
}

bool looksLikeMetafile(const QByteArray &d)
{
    if (d.size() >= 4 && quint8(d[0]) == 0xD7 && quint8(d[1]) == 0xCD && quint8(d[2]) == 0xC6 && quint8(d[3]) == 0x9A)
        return true; // placeable header
    return d.size() >= 18 && (le16(d, 0) == 1 || le16(d, 0) == 2) && le16(d, 2) == 9;
}

bool looksLikePng(const QByteArray &d)
{
    return d.startsWith("\x89PNG\r\n\x1a\n");
}

quint32 be32(const QByteArray &d, int at)
{
    return quint32(quint8(d[at])) << 24 | quint32(quint8(d[at + 1])) << 16 | quint32(quint8(d[at + 2])) << 8 |
           quint32(quint8(d[at + 3]));
}

// A PNG (favicons named .ico often are): the size in its IHDR chunk is
// checked before the image is allocated, and a file libpng cannot read to
// its end is refused rather than shown in part.
std::optional<QImage> decodePng(const QByteArray &data)
{
    if (data.size() < 8 + 8 + 13 || be32(data, 8) != 13 || data.mid(12, 4) != "IHDR")
        return std::nullopt;
    const qint64 width = be32(data, 16), height = be32(data, 20);
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
    if (looksLikePng(data))
        return decodePng(data);
    if (looksLikeIcon(data)) {
        const auto entries = readIcoEntries(data);
        if (!entries)
            return std::nullopt;
        const int pick = chooseOpenEntry(*entries);
        if (pick < 0)
            return std::nullopt;
        return (*entries)[size_t(pick)].image.convertToFormat(QImage::Format_ARGB32);
    }
    if (looksLikeMetafile(data))
        return isWholeMetafile(data) ? renderWmf(data) : std::nullopt;

    if (data.startsWith("BM")) {
        if (!isWholeBitmap(data, kMaxSide))
            return std::nullopt;
        auto decoded = dib::decodeFile(reinterpret_cast<const uchar *>(data.constData()), data.size());
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
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes;
    struct stat st{};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxFileBytes;
    if (ok) {
        bytes.resize(qsizetype(st.st_size));
        qsizetype done = 0;
        while (ok && done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            done += n > 0 ? n : 0;
        }
    }
    ::close(fd);
    if (!ok)
        return std::nullopt;
    return decodePicture(bytes);
}

std::optional<QImage> loadPicture(const QString &path)
{
    // No name is no file (QFile would warn about opening it).
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return std::nullopt;
    return decodePicture(file.readAll());
}
