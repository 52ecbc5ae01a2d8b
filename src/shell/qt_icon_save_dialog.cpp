#include "shell/qt_icon_save_dialog.h"

#include "platform/window_stacking.h"
#include "shell/icon_sizes_dialog.h"

std::optional<IconSaveDialog::Choice> QtIconSaveDialog::ask(QWidget *parent, const Question &question)
{
    const DialogInFront front;
    IconSizesDialog dialog(parent, question);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}
