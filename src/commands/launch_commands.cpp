// The menu commands that leave the editor: the sibling tool, the maker's home
// page and the About window.

#include "editor/frm_geral.h"
#include "platform/platform.h"
#include "shell/launcher.h"
#include "shell/project_info.h"
#include "shell/side_window.h"

#include <QCoreApplication>
#include <QDir>

void frmGeral::mnuPellory_Click()
{
    const QString sibling = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Pellory.exe"));
    mdlExecuta::OpenDocument(*platform_->shellLauncher, *platform_->messageBox, this, sibling);
}

void frmGeral::mnucshp_Click()
{
    // Nothing is said when no browser starts.
    platform_->shellLauncher->ShellExecute(nullptr, QStringLiteral("Open"), QString::fromLatin1(projectinfo::kHomepage),
                                           {}, {});
}

void frmGeral::mnuVersao_Click()
{
    static_cast<SideWindow *>(sideWindows_.get(QStringLiteral("frmAbout")))->LoadToolbar(this);
}
