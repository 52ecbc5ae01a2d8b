// The menu commands that leave the editor: the sibling tool, the maker's home
// page and the About window.

#include "editor/frm_geral.h"
#include "platform/platform.h"
#include "shell/launcher.h"

#include <QCoreApplication>
#include <QDir>

void frmGeral::mnuPellory_Click()
{
    const QString sibling = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Pellory.exe"));
    mdlExecuta::OpenDocument(*platform_->shellLauncher, *platform_->messageBox, this, sibling);
}
