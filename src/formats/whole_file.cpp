#include "formats/whole_file.h"

#include <QSaveFile>

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    // QSaveFile::commit() can miss an error of its own buffered flush (a full
    // disk, a file-size limit) and rename a short file over the good one, so
    // flush and check the size before committing.
    if (ok && (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size())) {
        ok = false;
        file.cancelWriting();
    }
    if (ok)
        ok = file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}
