#pragma once
// The small pictures and icon entries the fuzz seed makers build their files
// from, so that every corpus draws the same patterns.

#include "support/ico_writer.h"

#include <QImage>

namespace seed {

// An indexed picture of `colours` table colours, index (x / 3 + y) % colours;
// odd widths make rows that need padding at every depth.
inline QImage indexed(int w, int h, int colours)
{
    QImage image(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table.append(qRgb((i * 67) & 0xFF, (i * 131) & 0xFF, (i * 29) & 0xFF));
    image.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, uint((x / 3 + y) % colours));
    return image;
}

inline IcoWriterEntry entry(const QImage &image, int bitCount)
{
    IcoWriterEntry e;
    e.image = image;
    e.bitCount = bitCount;
    return e;
}

} // namespace seed
