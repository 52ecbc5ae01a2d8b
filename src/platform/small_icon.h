#pragma once
// The desktop's small (16 x 16) icon of a file, as a file manager shows it.

#include <QImage>
#include <QString>

class SmallIconSource
{
public:
    virtual ~SmallIconSource() = default;
    // A null image when there is no icon to show (an empty name).
    virtual QImage smallIcon(const QString &path) = 0;
};
