#pragma once

#include "platform/message_box.h"

// QMessageBox with the button set and icon mapped from the classic codes.
class QtMessageBox : public MessageBox
{
public:
    Answer show(QWidget *parent, const QString &title, const QString &text, Buttons buttons, Icon icon) override;
};
