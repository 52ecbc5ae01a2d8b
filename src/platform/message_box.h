#pragma once
// Modal message boxes, behind an interface so tests can read what was shown
// and answer it without a user.

#include <QString>

class QWidget;

class MessageBox
{
public:
    // Button sets and icons use the classic numbering the system's texts rely on.
    enum Buttons { OkOnly = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
    enum Icon { NoIcon = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
    enum Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

    virtual ~MessageBox() = default;
    virtual Answer show(QWidget *parent, const QString &title, const QString &text, Buttons buttons = OkOnly,
                        Icon icon = NoIcon) = 0;
};

// The title every untitled box of the program carries.
inline const QString kApplicationTitle = QStringLiteral("Vorn Tessarel");
