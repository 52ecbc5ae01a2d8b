#pragma once

#include "platform/common_dialog.h"

// The common dialog on Qt's own file, font and colour dialogs.
class QtCommonDialog : public CommonDialog
{
public:
    int ShowOpen(QWidget *parent) override;
    int ShowSave(QWidget *parent) override;
    int ShowFont(QWidget *parent) override;
    int ShowColor(QWidget *parent) override;

private:
    int showFile(QWidget *parent, bool save);
};
