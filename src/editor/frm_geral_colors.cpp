// The Colors menu: the tool window on its colour panel, the desktop colour
// picker and the RGB colour dialog.

#include "colour/color_palette.h"
#include "colour/frm_ve_cor1.h"
#include "editor/frm_geral.h"
#include "toolwindow/fra_cores.h"
#include "toolwindow/frm_tool_bar.h"

void frmGeral::mnuCorFixa_Click()
{
    frmToolBar *t = toolBar();
    t->showPanel(t->coloursFrame(), 2475, 3675);
}

void frmGeral::mnuProcCor_Click() { sideWindows_.get<frmVeCor1>()->LoadToolbar(this); }

void frmGeral::mnuScroolColor_Click() { sideWindows_.get<ColorPalette>()->LoadToolbar(this); }
