// The Tools menu: Preview Background, Gradient Background, Properties, the
// tool window on its library-search panel, and the sibling tool.

#include "colour/frm_desenho.h"
#include "editor/frm_geral.h"
#include "platform/platform.h"
#include "shell/launcher.h"
#include "toolwindow/fra_localiza.h"
#include "toolwindow/frm_tool_bar.h"
#include "viewers/frm_info.h"
#include "viewers/frm_previa.h"

#include <QCoreApplication>
#include <QDir>

// Preview Background: the editor makes way for the preview, which shows the
// icon as it is now.
void frmGeral::mnuPrevi_Click()
{
    frmPrevia *preview = sideWindows_.get<frmPrevia>();
    preview->setTileFromIkon();
    showMinimized();
    preview->show();
    preview->showMaximized();
    preview->setTileFromIkon();
}

void frmGeral::mnuGradiende_Click() { sideWindows_.get<frmDesenho>()->LoadToolbar(this); }

void frmGeral::mnuPropriedade_Click()
{
    // Shown and made the active window, which is when it reads the file.
    frmInfo *info = sideWindows_.get<frmInfo>();
    info->LoadToolbar(this);
    info->activateWindow();
}

void frmGeral::mnuSearch_Click()
{
    frmToolBar *t = toolBar();
    t->showPanel(t->searchFrame(), 2490, 2625);
}

void frmGeral::mnuPellory_Click()
{
    const QString sibling = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Pellory.exe"));
    mdlExecuta::OpenDocument(*platform_->shellLauncher, *platform_->messageBox, this, sibling);
}
