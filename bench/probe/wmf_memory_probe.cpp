// Peak memory of opening the costliest metafile we know how to build, measured
// from outside:
//   build/bench/tessarel_wmf_memory_probe write /tmp/worst.wmf
//   /usr/bin/time -v build/bench/tessarel_wmf_memory_probe open /tmp/worst.wmf
// The file fills the 64 MiB Open accepts: a 4096 x 4096 picture, pattern
// brushes up to the object table's bitmap budget, a thousand saved states each
// with its own clip region of thousands of rectangles, and mirrored stretches
// of 4096 x 4096 one-bit bitmaps (32 times their size once decoded) until the
// file is full.
#include "formats/picture_loader.h"
#include "support/wmf_writer.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

QByteArray worstFile()
{
    constexpr int kSide = 4096;
    WmfWriter wmf = WmfWriter::plain();
    wmf.setWindowExt(kSide, kSide);
    wmf.createPen(5, 0, 0).selectObject(0); // no outlines

    QImage square(2048, 2048, QImage::Format_RGB32);
    square.fill(qRgb(0, 200, 0));
    const QByteArray pattern = WmfWriter::dib(square, 1);
    for (int i = 0; i < 4; ++i) // 4 x 16 MiB decoded: the whole budget
        wmf.createPatternBrush(pattern).selectObject(1 + i).saveDc();
    wmf.patBlt(0, 0, kSide, kSide, WmfWriter::kPatCopy);

    // A clip of a few thousand rectangles, then saved states that each hold a
    // moved (so unshared) copy of it.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x)
            wmf.excludeClipRect(x * 80, y * 100, x * 80 + 3, y * 100 + 3);
    for (int i = 0; i < 1000; ++i)
        wmf.saveDc().record(0x0220, {0, i % 2 ? -1 : 1}); // OFFSETCLIPRGN

    QImage big(kSide, kSide, QImage::Format_RGB32);
    big.fill(qRgb(200, 0, 0));
    const QByteArray bitmap = WmfWriter::dib(big, 1);
    while (wmf.data().size() + bitmap.size() + 64 < 64 * 1024 * 1024)
        wmf.dibStretchBlt(kSide, 0, -kSide, kSide, bitmap, QRect(0, 0, kSide, kSide));
    return wmf.data();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QByteArray mode(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (mode == "write") {
        QFile file(path);
        const QByteArray data = worstFile();
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            return 1;
        std::printf("%lld bytes\n", static_cast<long long>(data.size()));
        return 0;
    }
    const std::optional<QImage> picture = loadPicture(path);
    std::printf("%s\n", picture ? "opened" : "refused");
    return 0;
}
