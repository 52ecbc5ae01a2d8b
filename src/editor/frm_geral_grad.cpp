// The Grad menu: Clean, the bars, the three mirrors, and the tool window
// on its Move and Resize panels, each at the size that fits the panel.

#include "editor/frm_geral.h"
#include "platform/picture_box.h"
#include "toolwindow/fra_diminui.h"
#include "toolwindow/fra_move.h"
#include "toolwindow/frm_tool_bar.h"
#include "transforms/image_transforms.h"

#include <QAction>

void frmGeral::mnuLimpar_Click()
{
    transforms::clean(ikon_, RightColor->backColor());
    RefreshGrid();
}

void frmGeral::mnuGrade_Click()
{
    if (mnuGrade->text() == QLatin1String("With Bars")) {
        mnuGrade->setText(QStringLiteral("Without Bars"));
        canvas_.drawBars();
    } else {
        mnuGrade->setText(QStringLiteral("With Bars"));
        canvas_.clearBars();
    }
    grid->flush();
}

void frmGeral::mnuRotate13_Click()
{
    transforms::rotate13(ikon_);
    RefreshGrid();
}

void frmGeral::mnuHorizontal_Click()
{
    transforms::rotateHorizontal(ikon_);
    RefreshGrid();
}

void frmGeral::mnuVertical_Click()
{
    transforms::rotateVertical(ikon_);
    RefreshGrid();
}

void frmGeral::mnuMove_Click()
{
    frmToolBar *t = toolBar();
    t->showPanel(t->moveFrame(), 2490, 3250);
}

void frmGeral::mnuReduzir_Click()
{
    frmToolBar *t = toolBar();
    t->showPanel(t->reduceFrame(), 2055, 2880);
}
