#pragma once
// Asking the desktop to open something: a program is started, a document or
// an address goes to the program the desktop associates with it. Results
// follow the classic shell's codes: above 32 is success, 32 or less a failure.

#include <QString>

class QWidget;

class ShellLauncher
{
public:
    static constexpr int kStarted = 42;
    static constexpr int kFileNotFound = 2;
    static constexpr int kPathNotFound = 3;
    static constexpr int kAccessDenied = 5;
    static constexpr int kBadFormat = 11;
    static constexpr int kNoAssociation = 31;
    static constexpr int kUnknown = 1;

    virtual ~ShellLauncher() = default;
    // `file` is a path or an address ("https:", "mailto:", ...); `folder` is
    // where a started program runs (its own folder when empty).
    virtual int ShellExecute(QWidget *owner, const QString &operation, const QString &file, const QString &parameters,
                             const QString &folder) = 0;
};
