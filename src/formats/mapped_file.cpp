#include "formats/mapped_file.h"

#include "formats/whole_file.h"

#include <unistd.h>

MappedFile::MappedFile(const QString &path, qint64 maxBytes)
    : MappedFile(QFile::encodeName(path), maxBytes)
{
}

MappedFile::MappedFile(const QByteArray &nativePath, qint64 maxBytes)
{
    const int fd = openPlainFile(nativePath);
    if (fd < 0)
        return;
    if (!file_.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return;
    }
    if (file_.size() <= 0 || file_.size() > maxBytes)
        return;
    if (const uchar *mapped = file_.map(0, file_.size()))
        bytes_ = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), file_.size());
    else
        bytes_ = file_.readAll();
    ok_ = bytes_.size() == file_.size();
}
