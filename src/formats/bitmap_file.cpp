#include "formats/bitmap_file.h"

#include "formats/whole_file.h"

#include <QBuffer>

bool saveEncodedFile(const QImage &image, const char *format, const QString &path, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format) || bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("the picture could not be encoded");
        return false;
    }
    return writeWholeFile(path, bytes, error);
}

bool saveBitmapFile(const QImage &image, const QString &path, QString *error)
{
    // 24 bits per pixel: the drawn picture has no transparency to keep.
    return saveEncodedFile(image.convertToFormat(QImage::Format_RGB32), "BMP", path, error);
}
