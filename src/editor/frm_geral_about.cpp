// The About menu: the maker's home page and the About window.

#include "editor/frm_geral.h"
#include "platform/platform.h"
#include "shell/frm_about.h"
#include "shell/launcher.h"
#include "shell/project_info.h"

void frmGeral::mnucshp_Click()
{
    // Nothing is said when no browser starts.
    platform_->shellLauncher->ShellExecute(nullptr, QStringLiteral("Open"), QString::fromLatin1(projectinfo::kHomepage),
                                           {}, {});
}

void frmGeral::mnuVersao_Click() { sideWindows_.get<frmAbout>()->LoadToolbar(this); }
