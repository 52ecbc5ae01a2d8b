// The real "Icon sizes" dialog, reached by Save over an opened multi-size
// icon and answered with clicks: its boxes start from what the file holds,
// "None" switches the preview between checker and colour, and what is
// ticked when OK is pressed is what the file holds.

#include "editor/frm_geral.h"
#include "formats/icon_file.h"
#include "shell/icon_sizes_dialog.h"
#include "shell/qt_icon_save_dialog.h"
#include "support/ico_writer.h"
#include "support/test_platform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class IconSizesDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void savesWhatIsTickedWithThePreviewShown()
    {
        QTemporaryDir dir;
        IcoWriterEntry small, large;
        small.image = QImage(16, 16, QImage::Format_ARGB32);
        small.image.fill(qRgb(9, 9, 9));
        large.image = QImage(32, 32, QImage::Format_ARGB32);
        large.image.fill(qRgb(0, 0, 200));
        large.image.setPixel(0, 0, qRgba(0, 0, 0, 0));
        const QString path = dir.filePath(QStringLiteral("two.ico"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(writeIco({small, large}));
        file.close();

        TestPlatform doubles;
        doubles.platform->iconSaveDialog = std::make_unique<QtIconSaveDialog>();
        frmGeral window(std::move(doubles.platform));
        doubles.dialog->queueFile(path);
        window.mnuOpenSimples->trigger();
        const QRgb shownAs = window.ikonSurface().image().pixel(0, 0);

        bool seen = false;
        QTimer::singleShot(50, [&] {
            auto *d = qobject_cast<IconSizesDialog *>(QApplication::activeModalWidget());
            QVERIFY(d);
            seen = true;
            QCOMPARE(d->windowTitle(), QStringLiteral("Icon sizes"));
            QCOMPARE(d->holdsLabel->text(), QStringLiteral("The file holds: 16 x 16 (32-bit), 32 x 32 (32-bit)"));
            for (const auto &[size, box] : d->sizeBoxes) {
                QCOMPARE(box->isChecked(), size == 16 || size == 32);
                QCOMPARE(box->isEnabled(), size != 32); // the picture's own entry
            }
            // The colour the transparent pixel was shown in is transparent in the
            // preview: the checker's white shows at the picture's (0, 0).
            QVERIFY(!d->noneBox->isChecked());
            const auto previewAt00 = [d] { return d->preview->pixmap().toImage().pixel(1, 1); };
            QCOMPARE(previewAt00(), qRgb(255, 255, 255));
            QTest::mouseClick(d->noneBox, Qt::LeftButton, {}, QPoint(4, d->noneBox->height() / 2));
            QVERIFY(d->noneBox->isChecked());
            QCOMPARE(previewAt00(), shownAs | 0xFF000000u);
            QTest::mouseClick(d->noneBox, Qt::LeftButton, {}, QPoint(4, d->noneBox->height() / 2));
            QCOMPARE(previewAt00(), qRgb(255, 255, 255));
            // Untick 16, tick 64, press OK.
            QTest::mouseClick(d->sizeBoxes.at(16), Qt::LeftButton, {}, QPoint(4, d->sizeBoxes.at(16)->height() / 2));
            QTest::mouseClick(d->sizeBoxes.at(64), Qt::LeftButton, {}, QPoint(4, d->sizeBoxes.at(64)->height() / 2));
            QTest::mouseClick(d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        QTimer::singleShot(5000, [] {
            if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                d->reject(); // never leave the test hanging on a dialog
        });
        doubles.dialog->queueFile(path);
        window.mnusave->trigger();
        QVERIFY(seen);

        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto entries = readIcoEntries(file.readAll());
        QVERIFY(entries);
        QCOMPARE(describeIconEntries(*entries), QStringLiteral("32 x 32 (32-bit), 64 x 64 (32-bit)"));
        QCOMPARE(qAlpha(entries->front().image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(entries->back().image.pixel(1, 1)), 0);
        QCOMPARE(entries->back().image.pixel(2, 2), qRgb(0, 0, 200));
    }
};

QTEST_MAIN(IconSizesDialogTest)
#include "icon_sizes_dialog_test.moc"
