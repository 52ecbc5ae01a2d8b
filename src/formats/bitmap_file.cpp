#include "formats/bitmap_file.h"

#include "formats/whole_file.h"

#include <QBuffer>

bool saveBitmapFile(const QImage &image, const QString &path, QString *error)
{
    // Encode first, so a picture that cannot be encoded never touches the disk.
    // 24 bits per pixel: the drawn picture has no transparency to keep.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP") || bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("the picture could not be encoded");
        return false;
    }
    return writeWholeFile(path, bytes, error);
}
