#pragma once
// The small icon of a file the way a desktop shows it: icon files, programs
// and libraries show their own first icon; any other file the icon theme's
// picture for its type.

#include "platform/small_icon.h"

class FileSmallIcon : public SmallIconSource
{
public:
    FileSmallIcon();
    QImage smallIcon(const QString &path) override;
    QImage smallIconAt(const QByteArray &nativePath) override;
};
