#pragma once
// The desktop's launcher: programs started detached, documents and addresses
// handed to the program the desktop associates with them (xdg-open), with the
// outcome mapped onto the classic shell's result codes.

#include "platform/shell_launcher.h"

class QtShellLauncher : public ShellLauncher
{
public:
    int ShellExecute(QWidget *owner, const QString &operation, const QString &file, const QString &parameters,
                     const QString &folder) override;
};
