// The menu commands that bring up the tool window on one of its panels, each
// at the size that fits that panel, and those that bring up a colour window.

#include "editor/frm_geral.h"
#include "shell/side_window.h"
#include "toolwindow/fra_cores.h"
#include "toolwindow/fra_diminui.h"
#include "toolwindow/fra_localiza.h"
#include "toolwindow/fra_move.h"
#include "toolwindow/frm_tool_bar.h"

frmToolBar *frmGeral::toolBar()
{
    return static_cast<frmToolBar *>(sideWindows_.get(QStringLiteral("frmToolBar")));
}

void frmGeral::mnuMove_Click()
{
    frmToolBar *t = toolBar();
    t->showPanel(t->moveFrame(), 2490, 3250);
}

void frmGeral::mnuCorFixa_Click()
{
    frmToolBar *t = toolBar();
    t->showPanel(t->coloursFrame(), 2475, 3675);
}

void frmGeral::mnuReduzir_Click()
{
    frmToolBar *t = toolBar();
    t->showPanel(t->reduceFrame(), 2055, 2880);
}

void frmGeral::mnuSearch_Click()
{
    frmToolBar *t = toolBar();
    t->showPanel(t->searchFrame(), 2490, 2625);
}

namespace {

void showSideWindow(frmGeral &main, const char *name)
{
    static_cast<SideWindow *>(main.sideWindows().get(QString::fromLatin1(name)))->LoadToolbar(&main);
}

} // namespace

void frmGeral::mnuProcCor_Click() { showSideWindow(*this, "frmVeCor1"); }

void frmGeral::mnuScroolColor_Click() { showSideWindow(*this, "ColorPalette"); }

void frmGeral::mnuGradiende_Click() { showSideWindow(*this, "frmDesenho"); }
