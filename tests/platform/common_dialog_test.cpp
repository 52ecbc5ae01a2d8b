// The common dialog on Qt's real dialogs: members kept between uses and
// cancellation visible both as error 32755 and as an unchanged FileName.

#include "platform/font_dialog.h"
#include "shell/qt_common_dialog.h"

#include <QComboBox>

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Runs `act` on the modal dialog of type T once it is up.
template <typename T> void whenShown(std::function<void(T *)> act)
{
    QTimer::singleShot(50, [act] {
        for (int i = 0; i < 100; ++i) {
            if (auto *d = qobject_cast<T *>(QApplication::activeModalWidget())) {
                act(d);
                return;
            }
            QTest::qWait(20);
        }
    });
}

} // namespace

class CommonDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void filterShowsDescriptionsAsWrittenAndFiltersByPattern()
    {
        QtCommonDialog cd;
        cd.Filter =
            QStringLiteral("Icon Files (*.ico)|*.ico|Windows BMP (*.bmp;*.dib;*.rle)|*.bmp|Two|*.a;*.b|dangling");
        QStringList shown, patterns;
        whenShown<QFileDialog>([&](QFileDialog *d) {
            auto *types = d->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            for (int i = 0; types && i < types->count(); ++i)
                shown << types->itemText(i);
            d->selectNameFilter(d->nameFilters().value(1));
            if (auto *model = d->findChild<QFileSystemModel *>())
                patterns = model->nameFilters();
            d->reject();
        });
        cd.ShowOpen(nullptr);
        QCOMPARE(shown,
                 QStringList({QStringLiteral("Icon Files (*.ico)"), QStringLiteral("Windows BMP (*.bmp;*.dib;*.rle)"),
                              QStringLiteral("Two")}));
        QCOMPARE(patterns, QStringList(QStringLiteral("*.bmp")));
        QCOMPARE(CommonDialog::qtNameFilters(QStringLiteral("Two|*.a;*.b")).value(0), QStringLiteral("Two (*.a *.b)"));
    }

    void cancelledOpenKeepsFileName()
    {
        QtCommonDialog cd;
        cd.FileName = QStringLiteral("/tmp/before.ico");
        cd.DialogTitle = QStringLiteral("Vorn Tessarel - Open...");
        QString seenTitle;
        whenShown<QFileDialog>([&seenTitle](QFileDialog *d) {
            seenTitle = d->windowTitle();
            d->reject();
        });
        QCOMPARE(cd.ShowOpen(nullptr), CommonDialog::kCancelError);
        QCOMPARE(cd.FileName, QStringLiteral("/tmp/before.ico"));
        QCOMPARE(seenTitle, QStringLiteral("Vorn Tessarel - Open..."));
    }

    void confirmedSaveSetsNameAndTitle()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("drawn.ico"));
        QtCommonDialog cd;
        cd.Flags = CommonDialog::kOverwritePrompt;
        cd.FileName = dir.filePath(QStringLiteral("old.ico"));
        bool confirmsOverwrite = false;
        whenShown<QFileDialog>([&](QFileDialog *d) {
            confirmsOverwrite = !d->testOption(QFileDialog::DontConfirmOverwrite);
            // Type the name as a user would.
            auto *edit = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(edit);
            edit->setText(target);
            QMetaObject::invokeMethod(d, "accept");
        });
        QCOMPARE(cd.ShowSave(nullptr), 0);
        QCOMPARE(cd.FileName, target);
        QCOMPARE(cd.FileTitle, QStringLiteral("drawn.ico"));
        QVERIFY(confirmsOverwrite);
        // The flags stay for the next caller that sets none.
        QCOMPARE(cd.Flags, CommonDialog::kOverwritePrompt);
    }

    void fontDialogReportsTheChoice()
    {
        QtCommonDialog cd;
        cd.FontName = QStringLiteral("Ms Sans Serif");
        cd.Flags = 259;
        cd.Color = 0x00FF00;
        cd.DialogTitle = QStringLiteral("Vorn Tessarel - Save..."); // left by a file dialog
        bool offeredColour = false;
        QString title;
        whenShown<FontDialog>([&](FontDialog *d) {
            offeredColour = d->colourList() != nullptr;
            title = d->windowTitle();
            d->reject();
        });
        QCOMPARE(cd.ShowFont(nullptr), CommonDialog::kCancelError);
        QVERIFY(offeredColour);
        QVERIFY(!title.contains(QStringLiteral("Save")));
        QCOMPARE(cd.FontName, QStringLiteral("Ms Sans Serif"));
        QCOMPARE(cd.Color, ColourValue(0x00FF00));

        whenShown<FontDialog>([](FontDialog *d) {
            QFont f(QStringLiteral("DejaVu Serif"));
            f.setPointSize(14);
            f.setBold(true);
            f.setItalic(true);
            d->fontChooser()->setCurrentFont(f);
            d->colourList()->setCurrentIndex(d->colourList()->findText(QStringLiteral("Red")));
            d->accept();
        });
        QCOMPARE(cd.ShowFont(nullptr), 0);
        QCOMPARE(cd.FontName, QStringLiteral("DejaVu Serif"));
        QCOMPARE(cd.FontSize, 14.0);
        QVERIFY(cd.FontBold);
        QVERIFY(cd.FontItalic);
        QCOMPARE(cd.Color, colour::rgb(255, 0, 0));

        // Without the effects flag there is no colour to choose and Color stays.
        cd.Flags = 1;
        whenShown<FontDialog>([&offeredColour](FontDialog *d) {
            offeredColour = d->colourList() != nullptr;
            d->accept();
        });
        QCOMPARE(cd.ShowFont(nullptr), 0);
        QVERIFY(!offeredColour);
        QCOMPARE(cd.Color, colour::rgb(255, 0, 0));
    }

    // The keys end the whole dialog, not just the font chooser inside it.
    void escapeCancelsAndReturnConfirmsTheFontDialog()
    {
        for (const auto &[key, result] : {std::pair{Qt::Key_Escape, CommonDialog::kCancelError}, {Qt::Key_Return, 0}}) {
            QtCommonDialog cd;
            cd.Flags = 259;
            bool leftOpen = false;
            whenShown<FontDialog>([&, key = key](FontDialog *d) {
                // The key goes where a user's would: into the embedded chooser.
                QVERIFY(d->fontChooser()->isAncestorOf(d->focusWidget()));
                QTest::keyClick(d->focusWidget(), key);
                if ((leftOpen = d->isVisible()))
                    d->done(-1);
            });
            QCOMPARE(cd.ShowFont(nullptr), result);
            QVERIFY2(!leftOpen, qPrintable(QKeySequence(key).toString()));
        }
    }

    void colourDialogReturnsAColourValue()
    {
        QtCommonDialog cd;
        cd.Color = 0x00FF00;
        cd.DialogTitle = QStringLiteral("Vorn Tessarel - Open...");
        QString title;
        whenShown<QColorDialog>([&title](QColorDialog *d) {
            title = d->windowTitle();
            d->reject();
        });
        QCOMPARE(cd.ShowColor(nullptr), CommonDialog::kCancelError);
        QVERIFY(!title.contains(QStringLiteral("Open")));
        QCOMPARE(cd.Color, ColourValue(0x00FF00));
        whenShown<QColorDialog>([](QColorDialog *d) {
            d->setCurrentColor(QColor(255, 0, 0));
            d->accept();
        });
        QCOMPARE(cd.ShowColor(nullptr), 0);
        QCOMPARE(cd.Color, ColourValue(0x0000FF));
    }
};

QTEST_MAIN(CommonDialogTest)
#include "common_dialog_test.moc"
