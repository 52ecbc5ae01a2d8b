#include "shell/qt_common_dialog.h"

#include "platform/font_dialog.h"
#include "platform/window_stacking.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>

int QtCommonDialog::showFile(QWidget *parent, bool save)
{
    const DialogInFront front;
    QFileDialog dialog(parent, DialogTitle);
    // Qt's own dialog: it behaves the same on every desktop and can be driven by tests.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && (Flags & kOverwritePrompt)));
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    const QStringList filters = qtNameFilters(Filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!FileName.isEmpty()) {
        const QFileInfo info(FileName);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return kCancelError;
    FileName = dialog.selectedFiles().constFirst();
    FileTitle = QFileInfo(FileName).fileName();
    return 0;
}

int QtCommonDialog::ShowOpen(QWidget *parent) { return showFile(parent, false); }
int QtCommonDialog::ShowSave(QWidget *parent) { return showFile(parent, true); }

int QtCommonDialog::ShowFont(QWidget *parent)
{
    QFont initial(FontName);
    if (FontSize > 0)
        initial.setPointSizeF(FontSize);
    initial.setBold(FontBold);
    initial.setItalic(FontItalic);
    // DialogTitle belongs to the file dialogs: the font dialog keeps its own.
    const DialogInFront front;
    FontDialog dialog(parent, initial, colour::toQColor(Color), (Flags & kFontEffects) != 0);
    if (dialog.exec() != QDialog::Accepted)
        return kCancelError;
    const QFont chosen = dialog.selectedFont();
    FontName = chosen.family();
    FontSize = chosen.pointSizeF();
    FontBold = chosen.bold();
    FontItalic = chosen.italic();
    FontUnderline = chosen.underline();
    FontStrikethru = chosen.strikeOut();
    if (Flags & kFontEffects)
        Color = colour::fromQColor(dialog.selectedColour());
    return 0;
}

int QtCommonDialog::ShowColor(QWidget *parent)
{
    const DialogInFront front;
    const QColor chosen =
        QColorDialog::getColor(colour::toQColor(Color), parent, QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid())
        return kCancelError;
    Color = colour::fromQColor(chosen);
    return 0;
}
