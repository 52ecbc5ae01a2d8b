#pragma once
// A whole file as bytes without copying it: mapped into memory where the
// system allows, read once otherwise. The bytes live as long as the object.

#include <QByteArray>
#include <QFile>
#include <QString>

class MappedFile
{
public:
    // Empty bytes (and ok() false) for a file that cannot be opened, is not a
    // plain file (a pipe or device is refused without waiting on it), is empty
    // or is larger than maxBytes.
    MappedFile(const QString &path, qint64 maxBytes);
    // The same for a path as the file system's own bytes.
    MappedFile(const QByteArray &nativePath, qint64 maxBytes);
    bool ok() const { return ok_; }
    const QByteArray &bytes() const { return bytes_; }

private:
    QFile file_;
    QByteArray bytes_;
    bool ok_ = false;
};
