#include "formats/mapped_file.h"

MappedFile::MappedFile(const QString &path, qint64 maxBytes)
    : file_(path)
{
    if (!file_.open(QIODevice::ReadOnly) || file_.size() <= 0 || file_.size() > maxBytes)
        return;
    if (const uchar *mapped = file_.map(0, file_.size()))
        bytes_ = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), file_.size());
    else
        bytes_ = file_.readAll();
    ok_ = bytes_.size() == file_.size();
}
