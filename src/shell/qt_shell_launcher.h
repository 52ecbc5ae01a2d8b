#pragma once
// The desktop's launcher: programs started detached, documents and addresses
// handed to the program the desktop associates with them (xdg-open), with the
// outcome mapped onto the classic shell's result codes.

#include "platform/shell_launcher.h"

#include <memory>

class QObject;

class QtShellLauncher : public ShellLauncher
{
public:
    QtShellLauncher();
    ~QtShellLauncher() override;
    void ShellExecute(QWidget *owner, const QString &operation, const QString &file, const QString &parameters,
                      const QString &folder, Outcome outcome = {}) override;

private:
    // Owns the questions still out to the desktop: they end with the launcher
    // and their outcomes are then never delivered.
    std::unique_ptr<QObject> pending_;
};
