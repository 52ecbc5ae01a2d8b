#pragma once
// The desktop's small (16 x 16) icon of a file, as a file manager shows it.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

class SmallIconSource
{
public:
    virtual ~SmallIconSource() = default;
    // A null image when there is no icon to show (an empty name).
    virtual QImage smallIcon(const QString &path) = 0;
    // The same for a path as the file system's own bytes, which need not be
    // valid text (a name chosen in the file manager).
    virtual QImage smallIconAt(const QByteArray &nativePath) { return smallIcon(QFile::decodeName(nativePath)); }
};
