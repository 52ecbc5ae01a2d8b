#pragma once

#include "platform/icon_save_dialog.h"

// Asks with the "Icon sizes" dialog, in front of the side windows.
class QtIconSaveDialog : public IconSaveDialog
{
public:
    std::optional<Choice> ask(QWidget *parent, const Question &question) override;
};
