// New, Open and Save through the menu, on real files made by the test writers.

#include "formats/ico_reader.h"
#include "formats/icon_file.h"
#include "formats/picture_loader.h"
#include "platform/label.h"
#include "support/bmp_writer.h"
#include "support/editor_fixture.h"
#include "support/file_size_limit.h"
#include "support/gif_writer.h"
#include "support/ico_writer.h"
#include "support/le_bytes.h"
#include "support/wmf_writer.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace {

const QString kNotAPicture = QStringLiteral("Cancel:\r"
                                            "                 The Open File is not Been worth!             \r"
                                            "________________________________________");

quint32 le32At(const QByteArray &b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16
        | quint32(quint8(b[at + 3])) << 24;
}

QImage solid(int w, int h, QRgb c)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(c);
    return img;
}

// A picture with a different colour in every pixel, to catch shifts and flips.
QImage ramp(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 5, y * 5, (x + y) & 0xFF));
    return img;
}

// An indexed picture for 4- and 8-bit entries: a 2-colour checker.
QImage checker(int size, int colours)
{
    QImage img(size, size, QImage::Format_Indexed8);
    QVector<QRgb> table(colours, qRgb(0, 0, 0));
    table[0] = qRgb(200, 0, 0);
    table[1] = qRgb(0, 0, 200);
    img.setColorTable(table);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y, uint((x + y) & 1));
    return img;
}

} // namespace

class FileCommandsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;
    std::unique_ptr<QTemporaryDir> dir;
    ColourValue background = 0;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir->filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    void open(const QString &path)
    {
        f->doubles.dialog->queueFile(path);
        f->window->mnuOpenSimples->trigger();
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        dir = std::make_unique<QTemporaryDir>();
        background = colour::resolve(colour::kWindowBackground);
    }
    void cleanup()
    {
        f.reset();
        dir.reset();
    }

    void openDialogIsSetUpAndNamesTheFile()
    {
        const QString path = write(QStringLiteral("a.bmp"), writeBmp(solid(4, 4, qRgb(0, 255, 0))));
        f->doubles.dialog->Flags = 2; // left over from a Save
        f->window->mnuScroolColor->trigger();
        open(path);
        const auto &shown = f->doubles.dialog->shown.back();
        QCOMPARE(shown.kind, QStringLiteral("open"));
        QCOMPARE(shown.title, QStringLiteral("Vorn Tessarel - Open..."));
        QCOMPARE(shown.filter,
                 QStringLiteral("Icon Files (*.ico)|*.ico|Windows BMP (*.bmp;*.dib;*.rle)|*.bmp|"
                                "CompuServe (*.gif)|*.gif|Metafiles (*.wmf)|*.wmf"));
        QCOMPARE(shown.flags, 2); // Open sets no flags of its own
        QCOMPARE(f->window->lblMsg->text(), path);
        QVERIFY(f->window->mnuPropriedade->isEnabled());
        QVERIFY(f->window->mnuReduzir->isEnabled());
        QCOMPARE(f->pixel(3, 3), colour::rgb(0, 255, 0));
        QCOMPARE(f->gridCell(3, 3), colour::rgb(0, 255, 0));
        QCOMPARE(f->pixel(4, 4), background);
        QVERIFY(f->doubles.messages->shown.empty());
        // The loaded side windows were switched off and on around the dialog.
        for (const char *name : {"ColorPalette"}) {
            QWidget *w = f->window->sideWindows().existing(QString::fromLatin1(name));
            QVERIFY2(w, name);
            QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
        }
    }

    void cancelledOpenStillEnablesResize()
    {
        f->doubles.dialog->FileName = QStringLiteral("/earlier/choice.ico");
        f->doubles.dialog->queueCancel();
        const QImage before = f->window->ikonSurface().image();
        f->window->mnuOpenSimples->trigger();
        QVERIFY(f->window->mnuReduzir->isEnabled());
        QCOMPARE(f->window->lblMsg->text(), QStringLiteral("/earlier/choice.ico"));
        QCOMPARE(f->window->ikonSurface().image(), before);
        QVERIFY(f->doubles.messages->shown.empty());
    }

    void smallIconFillsTheTopLeftQuarter()
    {
        IcoWriterEntry e;
        e.image = solid(16, 16, qRgb(0, 0, 255));
        e.bitCount = 24;
        open(write(QStringLiteral("small.ico"), writeIco({e})));
        QCOMPARE(f->pixel(15, 15), colour::rgb(0, 0, 255));
        QCOMPARE(f->pixel(16, 0), background);
        QCOMPARE(f->pixel(0, 16), background);
        QCOMPARE(f->count(colour::rgb(0, 0, 255)), 256);
    }

    void largeBitmapIsCroppedNotScaled()
    {
        const QImage big = ramp(48, 48);
        open(write(QStringLiteral("big.bmp"), writeBmp(big)));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                QCOMPARE(f->pixel(x, y), colour::fromRgb(big.pixel(x, y)));
    }

    void maskedIconPixelsShowTheBackground_data()
    {
        QTest::addColumn<int>("bitCount");
        QTest::newRow("4-bit") << 4;
        QTest::newRow("8-bit") << 8;
        QTest::newRow("24-bit") << 24;
        QTest::newRow("32-bit") << 32;
    }
    void maskedIconPixelsShowTheBackground()
    {
        QFETCH(int, bitCount);
        IcoWriterEntry e;
        e.bitCount = bitCount;
        e.image = bitCount <= 8 ? checker(32, bitCount == 4 ? 16 : 256) : ramp(32, 32);
        e.transparent.assign(32 * 32, false);
        for (int x = 0; x < 32; ++x)
            e.transparent[size_t(5 * 32 + x)] = true; // row 5 masked out
        e.zeroAlpha = bitCount == 32;                 // leave it to the mask
        open(write(QStringLiteral("masked.ico"), writeIco({e})));
        for (int x = 0; x < 32; ++x)
            QCOMPARE(f->pixel(x, 5), background);
        const QImage expected = e.image.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(f->pixel(3, 4), colour::fromRgb(expected.pixel(3, 4)));
        QCOMPARE(f->pixel(31, 31), colour::fromRgb(expected.pixel(31, 31)));
        // Save keeps the background colour where the mask was.
        f->doubles.dialog->queueFile(dir->filePath(QStringLiteral("masked-saved.bmp")));
        f->window->mnusave->trigger();
        const QImage saved(dir->filePath(QStringLiteral("masked-saved.bmp")));
        QCOMPARE(colour::fromRgb(saved.pixel(7, 5)), background);
    }

    void runLengthBitmapsOpen_data()
    {
        QTest::addColumn<int>("bitCount");
        QTest::newRow("rle8") << 8;
        QTest::newRow("rle4") << 4;
    }
    void runLengthBitmapsOpen()
    {
        QFETCH(int, bitCount);
        BmpWriterOptions o;
        o.bitCount = bitCount;
        o.compression = bitCount == 8 ? BmpCompression::Rle8 : BmpCompression::Rle4;
        const QImage img = checker(32, bitCount == 8 ? 256 : 16);
        open(write(QStringLiteral("run.rle"), writeBmp(img, o)));
        QVERIFY(f->doubles.messages->shown.empty());
        QCOMPARE(f->pixel(0, 0), colour::rgb(200, 0, 0));
        QCOMPARE(f->pixel(1, 0), colour::rgb(0, 0, 200));
        QCOMPARE(f->pixel(31, 30), colour::rgb(0, 0, 200));
    }

    void iconWithSeveralEntriesOpensThe32x32One()
    {
        IcoWriterEntry small, mono, rich;
        small.image = solid(16, 16, qRgb(255, 0, 0));
        small.bitCount = 24;
        mono.image = checker(32, 2);
        mono.bitCount = 1;
        rich.image = solid(32, 32, qRgb(0, 128, 0));
        rich.bitCount = 24;
        open(write(QStringLiteral("multi.ico"), writeIco({small, mono, rich})));
        QCOMPARE(f->count(colour::rgb(0, 128, 0)), 1024);
    }

    void pngEntryIcon()
    {
        IcoWriterEntry e;
        e.png = true;
        QImage img = solid(32, 32, qRgba(10, 20, 30, 255));
        for (int x = 0; x < 32; ++x)
            img.setPixel(x, 0, qRgba(0, 0, 0, 0));
        e.image = img;
        open(write(QStringLiteral("png.ico"), writeIco({e})));
        QCOMPARE(f->pixel(4, 4), colour::rgb(10, 20, 30));
        QCOMPARE(f->pixel(4, 0), background);
    }

    void gifOpens()
    {
        const QImage img = ramp(20, 12);
        open(write(QStringLiteral("pic.gif"), writeGif(img)));
        QVERIFY(f->doubles.messages->shown.empty());
        QCOMPARE(f->pixel(19, 11), colour::fromRgb(img.pixel(19, 11)));
        QCOMPARE(f->pixel(20, 11), background);
    }

    void metafileOpensAtItsNaturalSize()
    {
        // 0..360 units at 1440 per inch: 24 x 24 pixels at 96 dpi.
        WmfWriter w = WmfWriter::placeable(0, 0, 360, 360, 1440);
        w.createBrush(0, qRgb(255, 0, 0)).selectObject(0).createPen(5, 0, 0).selectObject(1);
        w.rectangle(0, 0, 180, 180);
        open(write(QStringLiteral("pic.wmf"), w.data()));
        QVERIFY(f->doubles.messages->shown.empty());
        QCOMPARE(f->pixel(0, 0), colour::rgb(255, 0, 0));
        QCOMPARE(f->pixel(10, 10), colour::rgb(255, 0, 0));
        QCOMPARE(f->pixel(20, 20), background); // undrawn: the icon's background
        QCOMPARE(f->pixel(30, 30), background);
    }

    // Broken files of every kind: each gives the Open message and leaves the
    // canvas exactly as it was.
    void brokenFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte") << QByteArray("B");

        // The icon cases stay few (the icon reader's own tests sweep its cuts and
        // fields); bitmap, GIF and metafile damage is swept here through Open.
        IcoWriterEntry entry;
        entry.image = ramp(32, 32);
        entry.bitCount = 24;
        QByteArray b = writeIco({entry});
        putLe16(b, icofield::kCount, 0);
        QTest::newRow("ico no entries") << b;

        const QByteArray bmp = writeBmp(ramp(32, 32));
        QTest::newRow("bmp cut short") << bmp.left(30);
        b = bmp;
        putLe32(b, bmpfield::kWidth, 0x7FFFFFFF);
        QTest::newRow("bmp huge width") << b;
        b = bmp;
        putLe32(b, bmpfield::kHeight, 0x80000001);
        QTest::newRow("bmp huge negative height") << b;
        b = bmp;
        putLe32(b, bmpfield::kPixelOffset, 0x7FFFFFFF);
        QTest::newRow("bmp pixels past the end") << b;
        BmpWriterOptions eight;
        eight.bitCount = 8;
        b = writeBmp(checker(32, 256), eight);
        putLe32(b, bmpfield::kClrUsed, 100000);
        QTest::newRow("bmp palette count 100000") << b;
        b = bmp;
        putLe16(b, bmpfield::kBitCount, 0);
        QTest::newRow("bmp zero bits per pixel") << b;

        BmpWriterOptions rle;
        rle.bitCount = 8;
        rle.compression = BmpCompression::Rle8;
        const QByteArray rle8 = writeBmp(checker(32, 256), rle);
        QTest::newRow("rle8 without its end mark") << rle8.left(rle8.size() - 2);
        b = rle8;
        b[le32At(b, bmpfield::kPixelOffset)] = char(200); // a run of 200 in a 32-pixel row
        QTest::newRow("rle8 run past the row") << b;
        b = rle8;
        putLe32(b, bmpfield::kHeight, quint32(-32)); // RLE cannot be top-down
        QTest::newRow("rle8 top-down") << b;
        b = rle8.left(le32At(rle8, bmpfield::kPixelOffset)) + QByteArray("\0\1", 2);
        putLe32(b, bmpfield::kWidth, 8192);
        putLe32(b, bmpfield::kHeight, 4096); // an empty stream, but 32M pixels to allocate
        QTest::newRow("rle8 larger than 16M pixels") << b;
        rle.bitCount = 4;
        rle.compression = BmpCompression::Rle4;
        b = writeBmp(checker(32, 16), rle);
        b[le32At(b, bmpfield::kPixelOffset)] = char(40);
        QTest::newRow("rle4 run past the row") << b;

        const QByteArray gif = writeGif(ramp(20, 12));
        QTest::newRow("gif cut short") << gif.left(100);
        // Writer layout: screen size at 6, image descriptor at 781, code size at 791.
        const std::pair<const char *, std::pair<int, int>> gifFields[] = {{"gif screen 0 wide", {6, 0}},
                                                                          {"gif screen 0 high", {8, 0}},
                                                                          {"gif image 0 wide", {786, 0}},
                                                                          {"gif image 0 high", {788, 0}},
                                                                          {"gif image right of the screen", {782, 1}},
                                                                          {"gif image below the screen", {784, 3}}};
        for (const auto &[name, field] : gifFields) {
            b = gif;
            putLe16(b, field.first, quint16(field.second));
            QTest::newRow(name) << b;
        }
        for (int codeSize : {0, 1, 9, 12}) {
            b = gif;
            b[791] = char(codeSize);
            QTest::addRow("gif code size %d", codeSize) << b;
        }
        QTest::newRow("gif data never ends") << gif.left(gif.size() - 2) + ';';
        QTest::newRow("gif unknown block") << gif.left(gif.size() - 1) + "x;";

        WmfWriter good = WmfWriter::placeable(0, 0, 360, 360, 1440);
        good.createBrush(0, qRgb(255, 0, 0)).selectObject(0).rectangle(0, 0, 100, 100);
        const QByteArray wmf = good.data();
        for (int cut : {4, 10, 22, 30, 40})
            QTest::addRow("wmf cut at %d", cut) << wmf.left(cut);
        QTest::newRow("wmf zero-size box") << WmfWriter::placeable(0, 0, 0, 0, 1440).data();
        QTest::newRow("wmf zero units per inch") << WmfWriter::placeable(0, 0, 100, 100, 0).data();
        QTest::newRow("wmf huge box") << WmfWriter::placeable(-32000, -32000, 32000, 32000, 1).data();
        QTest::newRow("wmf plain without extent") << WmfWriter::plain().rectangle(0, 0, 5, 5).data();
        QTest::newRow("png is not opened") << QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(40, '\0');
        QTest::newRow("text") << QByteArray("hello, world\n");
    }
    void brokenFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        f->window->ikonSurface().pset(2, 2, colour::rgb(7, 7, 7));
        f->window->RefreshGrid();
        const QImage before = f->window->ikonSurface().image();
        open(write(QStringLiteral("broken.ico"), bytes));
        QCOMPARE(f->doubles.messages->shown.size(), size_t(1));
        QCOMPARE(f->doubles.messages->shown.front().text, kNotAPicture);
        QCOMPARE(f->window->ikonSurface().image(), before);
    }

    // A drop from a file manager: one picture file opens as Open opens it (and
    // names it for Resize); a broken file gives Open's message; several files
    // or a folder are refused with a message; behind the start-up panel, where
    // Open cannot run, the drop is not even accepted.
    void droppedFileOpensAsOpenDoes_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("startupPanel");
        QTest::addColumn<QString>("message"); // empty: the picture opens
        QTest::newRow("one icon") << QStringList{"red.ico"} << false << QString();
        QTest::newRow("broken file") << QStringList{"broken.ico"} << false << kNotAPicture;
        QTest::newRow("two icons") << QStringList{"red.ico", "red.ico"} << false
                                   << QStringLiteral("  Drop one picture file to open it.  ");
        QTest::newRow("a folder") << QStringList{"."} << false
                                  << QStringLiteral("  Drop one picture file to open it.  ");
        QTest::newRow("behind the start-up panel") << QStringList{"red.ico"} << true << QString();
    }
    void droppedFileOpensAsOpenDoes()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, startupPanel);
        QFETCH(QString, message);
        IcoWriterEntry red;
        red.image = solid(32, 32, qRgb(255, 0, 0));
        write(QStringLiteral("red.ico"), writeIco({red}));
        write(QStringLiteral("broken.ico"), QByteArray("not a picture"));
        if (!startupPanel)
            f->window->tmrLogo_Timer(); // the panel dismissed: the menus are enabled
        const ColourValue before = f->pixel(3, 3);
        QList<QUrl> urls;
        for (const QString &n : names)
            urls << QUrl::fromLocalFile(QDir::cleanPath(dir->filePath(n)));
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = f->window->grid->mapTo(f->window.get(), QPoint(20, 20));
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f->window.get(), &enter);
        QCOMPARE(enter.isAccepted(), !startupPanel);
        if (startupPanel) {
            QCOMPARE(f->pixel(3, 3), before);
            return;
        }
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f->window.get(), &drop);
        if (message.isEmpty()) {
            QVERIFY(f->doubles.messages->shown.empty());
            QCOMPARE(f->pixel(3, 3), colour::rgb(255, 0, 0));
            QCOMPARE(f->window->lblMsg->text(), dir->filePath(QStringLiteral("red.ico")));
            QCOMPARE(f->window->resizeFile(), QFile::encodeName(dir->filePath(QStringLiteral("red.ico"))));
        } else {
            QCOMPARE(f->doubles.messages->shown.size(), size_t(1));
            QCOMPARE(f->doubles.messages->shown.front().text, message);
            QCOMPARE(f->pixel(3, 3), before);
        }
    }

    void notAPictureShowsTheMessageAndKeepsTheCanvas()
    {
        f->window->toolBar(); // loaded as the first size event loads it
        f->window->ikonSurface().pset(1, 1, colour::rgb(1, 2, 3));
        f->window->RefreshGrid();
        const QImage before = f->window->ikonSurface().image();
        const QImage gridBefore = f->window->gridSurface().image();
        const QString path = write(QStringLiteral("notes.ico"), QByteArray("just some text, not an icon"));
        open(path);
        QCOMPARE(f->doubles.messages->shown.size(), size_t(1));
        const auto &m = f->doubles.messages->shown.front();
        QCOMPARE(m.title, QStringLiteral("Inform the User!"));
        QCOMPARE(m.text, kNotAPicture);
        QCOMPARE(m.buttons, MessageBox::OkOnly);
        QCOMPARE(f->window->ikonSurface().image(), before);
        QCOMPARE(f->window->gridSurface().image(), gridBefore);
        QCOMPARE(f->window->lblMsg->text(), path); // already names the chosen file
        // A missing file is no picture either.
        open(dir->filePath(QStringLiteral("gone.bmp")));
        QCOMPARE(f->doubles.messages->shown.size(), size_t(2));
        // The windows are back on top afterwards.
        QVERIFY(f->window->sideWindows().existing(QStringLiteral("frmToolBar"))->windowFlags()
                & Qt::WindowStaysOnTopHint);
    }

    // Save writes what the name asks for. Over an icon that was opened only the
    // entry Open showed changes: the other sizes stay byte for byte, and a
    // cursor keeps its hot spot. Qt's own ICO and PNG readers, and icotool
    // where it is installed, read the result with the drawn pixels; an opened
    // icon's transparent pixels are written transparent again.
    void saveWritesWhatTheNameAsks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind"); // 0 none before, 1 a two-size icon, 2 a cursor
        QTest::newRow("over a two-size icon") << QStringLiteral("both.ico") << 1;
        QTest::newRow("a cursor") << QStringLiteral("arrow.cur") << 2;
        QTest::newRow("a new icon") << QStringLiteral("new.ico") << 0;
        QTest::newRow("a PNG") << QStringLiteral("drawn.png") << 0;
    }
    void saveWritesWhatTheNameAsks()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        IcoWriterEntry small, large;
        small.image = ramp(16, 16);
        small.bitCount = 24;
        large.image = solid(32, 32, qRgb(0, 0, 200));
        large.image.setPixel(0, 0, qRgba(0, 0, 0, 0)); // shown in Ikon's back colour, saved transparent again
        large.hotspotX = 5;
        large.hotspotY = 7;
        QByteArray before;
        if (kind == 1)
            before = writeIco({small, large});
        else if (kind == 2)
            before = writeIco({large}, IcoKind::Cursor);
        const QString path = kind ? write(name, before) : dir->filePath(name);
        if (kind)
            open(path);
        f->window->ikonSurface().pset(3, 4, colour::rgb(255, 0, 0));
        f->window->ikonSurface().pset(31, 31, colour::rgb(0, 255, 0));
        QImage drawn = f->window->ikonSurface().image().convertToFormat(QImage::Format_ARGB32);
        if (kind) // the opened icon's transparent pixel
            drawn.setPixel(0, 0, 0);
        f->doubles.dialog->queueFile(path);
        f->window->mnusave->trigger();
        QVERIFY(f->doubles.messages->shown.empty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const char *format = name.endsWith(QLatin1String(".png")) ? "PNG"
            : name.endsWith(QLatin1String(".cur"))                ? "CUR"
                                                                  : "ICO";
        // Qt's reader, at the 32 x 32 image (a multi-size file starts with the 16 x 16 one).
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer, format);
        QImage back = reader.read();
        while (back.size() != QSize(32, 32) && reader.jumpToNextImage())
            back = reader.read();
        if (kind != 2) // Qt reads no cursor files; ours does below
            QCOMPARE(back.convertToFormat(QImage::Format_ARGB32), drawn);
        if (qstrcmp(format, "PNG") == 0)
            return;
        const auto entries = readIcoEntries(bytes);
        QVERIFY(entries);
        QCOMPARE(entries->size(), size_t(kind == 1 ? 2 : 1));
        QCOMPARE(entries->back().image.convertToFormat(QImage::Format_ARGB32), drawn);
        if (kind == 1) // the 16 x 16 entry's directory and bytes are those of the old file
            QCOMPARE(bytes.mid(le32At(bytes, 6 + 12), le32At(bytes, 6 + 8)),
                     before.mid(le32At(before, 6 + 12), le32At(before, 6 + 8)));
        if (kind == 2)
            QCOMPARE(bytes.mid(6 + 4, 4), before.mid(6 + 4, 4)); // the hot spot
        const QString icotool = QStandardPaths::findExecutable(QStringLiteral("icotool"));
        if (!icotool.isEmpty()) {
            QProcess list;
            list.start(icotool, {QStringLiteral("-l"), path});
            QVERIFY(list.waitForFinished());
            QCOMPARE(list.exitCode(), 0);
            QCOMPARE(list.readAllStandardOutput().count('\n'), qsizetype(kind == 1 ? 2 : 1));
        }
    }

    // Save over a multi-size icon asks which sizes the file keeps: the
    // question starts from what it holds and from the colour its transparent
    // pixels were shown in; cancelling writes nothing and says nothing;
    // unticking a size removes it. A new drawing starts with none of these.
    void iconSizesDecideWhatTheIconHolds()
    {
        IcoWriterEntry small, large, big;
        small.image = ramp(16, 16);
        small.bitCount = 24;
        large.image = solid(32, 32, qRgb(0, 0, 200));
        large.image.setPixel(0, 0, qRgba(0, 0, 0, 0));
        big.image = ramp(48, 48);
        const QByteArray before = writeIco({small, large, big});
        const QString path = write(QStringLiteral("multi.ico"), before);
        open(path);
        const QString title = f->window->windowTitle();
        ScriptedIconSaveDialog &sizes = *f->doubles.iconSaveDialog;
        sizes.queueCancel();
        f->doubles.dialog->queueFile(path);
        f->window->mnusave->trigger();
        QCOMPARE(sizes.asked.size(), size_t(1));
        const IconSaveDialog::Question &q = sizes.asked.back();
        QCOMPARE(q.sizes, (std::vector<int>{16, 32, 48}));
        QCOMPARE(q.keptSize, 32);
        QCOMPARE(q.holds, QStringLiteral("16 x 16 (24-bit), 32 x 32 (32-bit), 48 x 48 (32-bit)"));
        QCOMPARE(q.transparent, std::optional(colour::toRgb(background) | 0xFF000000u));
        QCOMPARE(q.picture.size(), QSize(32, 32));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();
        QCOMPARE(f->window->windowTitle(), title);
        QVERIFY(f->doubles.messages->shown.empty());

        // 16 unticked, 256 ticked, no transparent colour.
        sizes.queue([](const IconSaveDialog::Question &) {
            return std::optional(IconSaveDialog::Choice{{48, 256}, std::nullopt});
        });
        f->doubles.dialog->queueFile(path);
        f->window->mnusave->trigger();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto entries = readIcoEntries(file.readAll());
        QVERIFY(entries);
        QCOMPARE(describeIconEntries(*entries), QStringLiteral("32 x 32 (32-bit), 48 x 48 (32-bit), 256 x 256 (PNG)"));
        QCOMPARE(entries->front().image.pixel(0, 0), colour::toRgb(background) | 0xFF000000u);
        QCOMPARE(entries->back().image.pixel(255, 255), qRgb(0, 0, 200));

        f->window->mnuNew->trigger();
        f->doubles.dialog->queueFile(dir->filePath(QStringLiteral("new.ico")));
        f->window->mnusave->trigger();
        QVERIFY(sizes.asked.back().holds.isEmpty() && sizes.asked.back().sizes.empty());
        QCOMPARE(sizes.asked.back().transparent, std::nullopt);
    }

    void saveWritesABitmapForOtherNames()
    {
        f->window->ikonSurface().filledBox(0, 0, 31, 31, colour::rgb(255, 255, 255));
        f->window->ikonSurface().pset(0, 0, colour::rgb(255, 0, 0));
        f->window->ikonSurface().pset(31, 31, colour::rgb(0, 0, 255));
        f->window->ikonSurface().pset(5, 9, colour::rgb(12, 34, 56));
        const QString path = dir->filePath(QStringLiteral("drawn.dib"));
        f->doubles.dialog->queueFile(path);
        f->window->mnusave->trigger();
        const auto &shown = f->doubles.dialog->shown.back();
        QCOMPARE(shown.kind, QStringLiteral("save"));
        QCOMPARE(shown.title, QStringLiteral("Vorn Tessarel - Save..."));
        QCOMPARE(shown.flags, 2);
        QCOMPARE(shown.filter,
                 QStringLiteral("Icon Files (*.ico)|*.ico|Windows BMP (*.bmp;*.dib;*.rle)|*.bmp|"
                                "Windows Metafile (*.wmf)|*.wmf|Icon (*.ico)|*.ico|PNG image (*.png)|*.png"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("BM"));
        const QImage back = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(back.size(), QSize(32, 32));
        QCOMPARE(back, f->window->ikonSurface().image().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Vorn Tessarel - ") + path);
        // Again under the same name: the caption is left as it is.
        f->window->setWindowTitle(QStringLiteral("changed elsewhere"));
        f->doubles.dialog->queueFile(path);
        f->window->mnusave->trigger();
        QCOMPARE(f->window->windowTitle(), QStringLiteral("changed elsewhere"));
        // A cancelled save writes nothing.
        f->doubles.dialog->queueCancel();
        f->window->mnusave->trigger();
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("other.bmp"))));
    }

    void failedSaveKeepsTheOldFileAndSaysSo()
    {
        const QString path = dir->filePath(QStringLiteral("keep.bmp"));
        const QByteArray old = writeBmp(solid(32, 32, qRgb(9, 9, 9)));
        write(QStringLiteral("keep.bmp"), old);
        const QString title = f->window->windowTitle();
        // Allow only a few bytes per file for this process: the write fails
        // part-way, for root as for anyone.
        f->doubles.dialog->queueFile(path);
        {
            FileSizeLimit limit(100);
            QVERIFY(limit.active());
            f->window->mnusave->trigger();
        }

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        QCOMPARE(f->window->windowTitle(), title);
        QCOMPARE(f->doubles.messages->shown.size(), size_t(1));
        QCOMPARE(f->doubles.messages->shown.front().title, QStringLiteral("Inform the User!"));
        QVERIFY(f->doubles.messages->shown.front().text.contains(path));
        // The same name saved successfully afterwards does reach the caption.
        f->doubles.dialog->queueFile(path);
        f->window->mnusave->trigger();
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Vorn Tessarel - ") + path);
        // A folder that does not exist fails the same way.
        f->doubles.dialog->queueFile(dir->filePath(QStringLiteral("no/such/folder/x.bmp")));
        f->window->mnusave->trigger();
        QCOMPARE(f->doubles.messages->shown.size(), size_t(2));
    }

    void newRestoresSizesAndFillsWithTheRightColour()
    {
        frmGeral &w = *f->window;
        w.grid->resize(100, 100);
        w.Ikon->resize(10, 10);
        w.LeftColor->setBackColor(colour::rgb(1, 1, 1));
        w.RightColor->setBackColor(colour::rgb(0, 200, 0));
        w.mnuNew->trigger();
        QCOMPARE(w.grid->size(), QSize(321, 322));
        QCOMPARE(w.Ikon->size(), QSize(34, 34));
        QCOMPARE(w.lblNumero2->y(), w.grid->y() + w.grid->height());
        QCOMPARE(w.lblNumero1->height(), w.grid->height());
        QCOMPARE(f->count(colour::rgb(0, 200, 0)), 1024);
        QCOMPARE(f->gridCell(31, 31), colour::rgb(0, 200, 0));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
