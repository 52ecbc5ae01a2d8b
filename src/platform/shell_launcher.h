#pragma once
// Asking the desktop to open something: a program is started, a document or
// an address goes to the program the desktop associates with it. Results
// follow the classic shell's codes: above 32 is success, 32 or less a failure.

#include <QString>

#include <functional>

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

    // Receives a launch's result once it is known.
    using Outcome = std::function<void(int)>;

    virtual ~ShellLauncher() = default;
    // `file` is a path or an address ("https:", "mailto:", ...); `folder` is
    // where a started program runs (its own folder when empty). Asking the
    // desktop which program takes a document or an address can take a while,
    // so the result comes through `outcome` (when given) and the event loop
    // runs meanwhile; a program or a missing file is answered at once.
    virtual void ShellExecute(QWidget *owner, const QString &operation, const QString &file, const QString &parameters,
                              const QString &folder, Outcome outcome = {}) = 0;
};
