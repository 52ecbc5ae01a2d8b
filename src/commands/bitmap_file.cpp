#include "commands/bitmap_file.h"

#include <QBuffer>
#include <QSaveFile>

bool saveBitmapFile(const QImage &image, const QString &path, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    // Encode first, so a picture that cannot be encoded never touches the disk.
    // 24 bits per pixel: the drawn picture has no transparency to keep.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP") || bytes.isEmpty())
        return fail(QStringLiteral("the picture could not be encoded"));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // QSaveFile::commit() can miss an error of its own buffered flush (a full
    // disk or a file-size limit) and rename a short file over the good one;
    // flush and check the size ourselves before committing.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
