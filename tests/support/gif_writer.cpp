#include "support/gif_writer.h"

#include "support/le_bytes.h"

#include <QHash>
#include <QVector>

QByteArray writeGif(const QImage &image, bool trailer)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QVector<QRgb> palette;
    QHash<QRgb, int> index;
    QVector<int> pixels;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = rgb.pixel(x, y) & 0xFFFFFF;
            auto it = index.find(c);
            if (it == index.end()) {
                it = index.insert(c, int(palette.size()));
                palette << c;
            }
            pixels << *it;
        }
    Q_ASSERT(palette.size() <= 256);
    while (palette.size() < 256)
        palette << 0;

    QByteArray out("GIF87a");
    appendLe16(out, quint16(rgb.width()));
    appendLe16(out, quint16(rgb.height()));
    out.append(char(0xF7)); // global table of 256 colours, 8 bits per primary
    out.append(char(0));    // background index
    out.append(char(0));    // aspect
    for (QRgb c : palette) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(',');
    appendLe16(out, 0);
    appendLe16(out, 0);
    appendLe16(out, quint16(rgb.width()));
    appendLe16(out, quint16(rgb.height()));
    out.append(char(0)); // no local table, not interlaced

    const int minCodeSize = 8, clear = 256, end = 257, width = 9;
    out.append(char(minCodeSize));
    QByteArray stream;
    quint32 acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= quint32(code) << bits;
        bits += width;
        while (bits >= 8) {
            stream.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    // The decoder adds a table entry per code after the first; clearing every
    // 254 codes keeps the table below 512 entries, so 9 bits stay enough.
    int sinceClear = 0;
    put(clear);
    for (int p : pixels) {
        if (sinceClear == 254) {
            put(clear);
            sinceClear = 0;
        }
        put(p);
        ++sinceClear;
    }
    put(end);
    if (bits > 0)
        stream.append(char(acc & 0xFF));
    for (qsizetype i = 0; i < stream.size(); i += 255) {
        const QByteArray block = stream.mid(i, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    if (trailer)
        out.append(';');
    return out;
}
