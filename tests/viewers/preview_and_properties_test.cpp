// Preview Background and Properties through the Tools menu: the tiled
// wallpaper and the editor stepping aside, and the bitmap headers of whatever
// file the Open dialog last named, reread on each activation.

#include "platform/label.h"
#include "support/bmp_writer.h"
#include "support/editor_fixture.h"
#include "viewers/frm_info.h"
#include "viewers/frm_previa.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

class PreviewAndPropertiesTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;
    QTemporaryDir dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return file.fileName();
    }
    frmPrevia *preview() const
    {
        return qobject_cast<frmPrevia *>(f->window->sideWindows().existing(QStringLiteral("frmPrevia")));
    }
    // Makes the properties window active again, as switching back to it does.
    QStringList activate(frmInfo *info)
    {
        QApplication::setActiveWindow(f->window.get());
        QApplication::setActiveWindow(info);
        QStringList texts{info->lblFileName->title()};
        for (Label *l : info->lblInfo)
            texts << l->text();
        return texts;
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        QVERIFY(f->showPastStartup());
    }
    void cleanup() { f.reset(); }

    void propertiesDecodeAnyFileOnEachActivation()
    {
        QImage indexed(32, 32, QImage::Format_Indexed8);
        indexed.setColorCount(16);
        indexed.fill(0);
        QByteArray bmp = writeBmp(indexed, {.bitCount = 4, .clrUsed = {}});
        qToLittleEndian<qint32>(512, bmp.data() + 34);
        const QString four = write(QStringLiteral("four.bmp"), bmp);
        QByteArray topDown =
            writeBmp(QImage(32, 32, QImage::Format_RGB32), {.bitCount = 24, .topDown = true, .clrUsed = {}});
        qToLittleEndian<qint32>(0, topDown.data() + 34);
        const QString down = write(QStringLiteral("down.bmp"), topDown);
        // A whole 1 x 1 GIF of 35 bytes: its last byte is the image size field's low byte.
        const QString gif = write(QStringLiteral("tiny.gif"),
                                  QByteArray::fromHex("474946383961"
                                                      "01000100"
                                                      "800000"
                                                      "000000ffffff"
                                                      "2c000000000100010000"
                                                      "0202440100"
                                                      "3b"));

        f->window->lblMsg->setCaption(four);
        QVERIFY(f->window->mnuPropriedade->isEnabled());
        f->window->mnuPropriedade->trigger();
        auto *info = qobject_cast<frmInfo *>(f->window->sideWindows().existing(QStringLiteral("frmInfo")));
        QVERIFY(info && info->isVisible());
        QCOMPARE(
            activate(info),
            (QStringList{four, "32 pixels", "32 pixels", "512 bytes", "1", "4 (16 colours)", "Uncompressed bitmap."}));
        QVERIFY(!info->Image1->pixmap().isNull());
        // A new file is picked up on the next activation.
        f->window->lblMsg->setCaption(down);
        QCOMPARE(activate(info),
                 (QStringList{down, "32 pixels", "-32 pixels", "BI_RGB bitmap; size variable.", "1",
                              "24 (16777216 colours)", "Uncompressed bitmap."}));
        // A picture shorter than the headers: what it lacks reads as zero.
        f->window->lblMsg->setCaption(gif);
        const QStringList shortRead = activate(info);
        QCOMPARE(shortRead.first(), gif);
        QCOMPARE(shortRead.at(3), QStringLiteral("59 bytes"));
        // A file that is no picture, or no file at all: quietly nothing.
        for (const QString &bad : {write(QStringLiteral("x.bmp"), "BM"), dir.filePath(QStringLiteral("gone.bmp"))}) {
            f->window->lblMsg->setCaption(bad);
            QCOMPARE(activate(info), (QStringList{"Select a bitmap or RLE file to detail...", "", "", "", "", "", ""}));
        }
    }

    // The longest values, the run-length texts, show every word inside the frame.
    void propertiesShowTheWholeCompressionText()
    {
        QImage indexed(4, 2, QImage::Format_Indexed8);
        indexed.setColorCount(16);
        indexed.fill(1);
        f->window->lblMsg->setCaption(
            write(QStringLiteral("runs.rle"), writeBmp(indexed, {.bitCount = 8, .compression = BmpCompression::Rle8})));
        f->window->mnuPropriedade->trigger();
        auto *info = qobject_cast<frmInfo *>(f->window->sideWindows().existing(QStringLiteral("frmInfo")));
        QVERIFY(info);
        for (BmpCompression c : {BmpCompression::Rle8, BmpCompression::Rle4}) {
            f->window->lblMsg->setCaption(
                write(QStringLiteral("runs%1.rle").arg(int(c)),
                      writeBmp(indexed, {.bitCount = c == BmpCompression::Rle8 ? 8 : 4, .compression = c})));
            QVERIFY(activate(info).last().endsWith(QStringLiteral("pixel.")));
            const Label *value = info->lblInfo[5];
            QVERIFY2(
                value->heightForWidth(value->width()) <= value->height(),
                qPrintable(QStringLiteral("%1 of %2").arg(value->height()).arg(value->heightForWidth(value->width()))));
            QVERIFY(info->lblFileName->contentsRect().contains(value->geometry()));
        }
    }

    void propertiesWithTheFileUnnamedAgainTouchNoFile()
    {
        const QString four = write(QStringLiteral("four.bmp"), writeBmp(QImage(4, 4, QImage::Format_RGB32), {}));
        f->window->lblMsg->setCaption(four);
        f->window->mnuPropriedade->trigger();
        auto *info = qobject_cast<frmInfo *>(f->window->sideWindows().existing(QStringLiteral("frmInfo")));
        QVERIFY(info && info->isVisible());
        // An Open cancelled before any file was chosen names no file; the
        // properties window, still open, must not try to read a nameless one.
        f->doubles.dialog->queueCancel();
        f->window->mnuOpenSimples->trigger();
        QCOMPARE(f->window->lblMsg->text(), QString());
        QTest::failOnWarning(QRegularExpression(QStringLiteral("QFSFileEngine")));
        QCOMPARE(activate(info), (QStringList{"Select a bitmap or RLE file to detail...", "", "", "", "", "", ""}));
    }

    void previewTilesTheIconWhileTheEditorStepsAside()
    {
        const ColourValue red = colour::rgb(255, 0, 0), blue = colour::rgb(0, 0, 255);
        f->window->ikonSurface().filledBox(0, 0, 31, 31, colour::kWhite);
        f->window->ikonSurface().pset(0, 0, red);
        f->window->ikonSurface().pset(31, 31, blue);
        f->window->mnuPrevi->trigger();
        frmPrevia *p = preview();
        QVERIFY(p && p->isVisible());
        QVERIFY(p->windowState() & Qt::WindowMaximized);
        QVERIFY(f->window->windowState() & Qt::WindowMinimized);
        QVERIFY(!p->tiling()); // nothing is drawn before the timer
        QTRY_VERIFY(p->tiling());
        const QImage shot = p->grab().toImage();
        // Tiles from the top-left corner, one icon every 32 pixels both ways.
        for (const QPoint at : {QPoint(0, 0), QPoint(32, 0), QPoint(0, 32), QPoint(64, 96)})
            QCOMPARE(colour::fromRgb(shot.pixel(at)), red);
        QCOMPARE(colour::fromRgb(shot.pixel(63, 31)), blue);
        QCOMPARE(colour::fromRgb(shot.pixel(1, 1)), colour::kWhite);

        // Minimising the preview brings the editor back maximised, and back
        // again; the restored preview shows the icon as edited meanwhile.
        p->setWindowState(Qt::WindowMinimized);
        QVERIFY(f->window->windowState() & Qt::WindowMaximized);
        f->window->ikonSurface().pset(0, 0, blue);
        p->setWindowState(Qt::WindowMaximized);
        QVERIFY(f->window->windowState() & Qt::WindowMinimized);
        QTRY_COMPARE(colour::fromRgb(p->screen()->grabWindow(p->winId()).toImage().pixel(32, 32)), blue);
        f->window->ikonSurface().pset(0, 0, red);

        // Closing leaves the editor maximised; the next preview is a fresh
        // window and shows the icon as edited since.
        f->window->showNormal();
        p->setWindowState(Qt::WindowMaximized);
        p->close();
        QVERIFY(f->window->windowState() & Qt::WindowMaximized);
        QTRY_VERIFY(!preview());
        f->window->ikonSurface().pset(0, 0, blue);
        f->window->mnuPrevi->trigger();
        QVERIFY(preview() && !preview()->tiling());
        QTRY_VERIFY(preview()->tiling());
        QCOMPARE(colour::fromRgb(preview()->grab().toImage().pixel(32, 32)), blue);
    }
};

QTEST_MAIN(PreviewAndPropertiesTest)
#include "preview_and_properties_test.moc"
