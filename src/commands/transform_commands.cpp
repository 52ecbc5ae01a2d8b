// The Grad menu: Clean, the bars and the three mirrors.

#include "commands/image_transforms.h"
#include "editor/frm_geral.h"
#include "platform/picture_box.h"

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
