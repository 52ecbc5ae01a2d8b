// Drawing on the grid: mode selection and the press / move / release of each tool.

#include "editor/frm_geral.h"

#include "editor/tool_geometry.h"
#include "platform/label.h"
#include "platform/picture_box.h"
#include "platform/shape.h"
#include "platform/twips.h"

#include <QAction>

void frmGeral::picModeSel_Click(int index)
{
    DrawMode = index;
    picMode->setPicture(picModeSel[size_t(index)]->picture());
    mnuColar->setEnabled(false);
    mnuCortar->setEnabled(false);
    mnuCopiar->setEnabled(false);
    shCapture->setVisible(false);
}

void frmGeral::fitReadout()
{
    // The read-out is sized to its text. Measuring text is the costliest part
    // of a pointer move, and digits share one width, so sizes are kept per shape.
    QString shape = lblCordenadas->text();
    for (QChar &c : shape)
        if (c.isDigit())
            c = QLatin1Char('0');
    auto it = readoutWidths_.constFind(shape);
    if (it == readoutWidths_.constEnd())
        it = readoutWidths_.insert(shape, lblCordenadas->sizeHint().width());
    if (lblCordenadas->width() != *it || lblCordenadas->height() != readoutHeight_)
        lblCordenadas->resize(*it, readoutHeight_);
}

void frmGeral::grid_MouseMove(int button, int shift, double x, double y)
{
    const auto col = twips::toCell(x), row = twips::toCell(y);
    if (!col || !row)
        return; // beyond the 16-bit range: not a position the editor can hold
    if (picVeCor->isVisible())
        picVeCor->hide();
    PointerCol = *col;
    PointerRow = *row;
    const QString text = tools::readout(PointerCol, PointerRow);
    if (lblCordenadas->text() != text) {
        lblCordenadas->setCaption(text);
        fitReadout();
    }
    if (!lblCordenadas->isVisible())
        lblCordenadas->show();
    if (button == 0)
        return;

    // The left colour only while exactly the left button is held.
    const ColourValue colour = buttonColour(button);
    switch (DrawMode) {
    case 0:
        if (shift != 0) {
            if (tools::keepsColumn(PressX, PressY, x, y))
                PointerCol = PressX / twips::kPerCell;
            else
                PointerRow = PressY / twips::kPerCell;
        }
        PaintCell(twips::kPerCell * PointerCol, twips::kPerCell * PointerRow, colour);
        break;
    case 1: shLine->setLine(PressX, PressY, int(twips::roundHalfEven(x)), int(twips::roundHalfEven(y))); break;
    case 2:
    case 3: {
        const auto r = tools::rubberRect(PressX, PressY, x, y);
        shRect->setGeometry(r.left, r.top, r.width, r.height);
        break;
    }
    case 4:
    case 5:
        if (const auto r = tools::rubberCircle(PressX, PressY, x, y))
            shCircle->setGeometry(r->left, r->top, r->width, r->height);
        break;
    case 8: {
        const auto r = tools::rubberRect(PressX, PressY, x, y);
        shCapture->setGeometry(r.left, r.top, r.width, r.height);
        break;
    }
    default: break;
    }
}

void frmGeral::grid_MouseDown(int button, int shift, double x, double y)
{
    Q_UNUSED(shift);
    const auto px = twips::toWhole16(x), py = twips::toWhole16(y);
    if (!px || !py)
        return;
    PressX = *px;
    PressY = *py;
    const ColourValue colour = buttonColour(button);
    switch (DrawMode) {
    case 0:
        // Paint the pressed cell even when no move reported it first (a tap,
        // or a press right after the window appeared under the pointer).
        PointerCol = PressX / twips::kPerCell;
        PointerRow = PressY / twips::kPerCell;
        PaintCell(twips::kPerCell * PointerCol, twips::kPerCell * PointerRow, colour);
        break;
    case 1:
        shLine->setLine(PressX, PressY, PressX, PressY);
        shLine->setVisible(true);
        break;
    case 2:
    case 3: shRect->setVisible(true); break;
    case 4:
    case 5: shCircle->setVisible(true); break;
    case 8: shCapture->setVisible(true); break;
    default: break;
    }
}

void frmGeral::grid_MouseUp(int button, int shift, double x, double y)
{
    Q_UNUSED(shift);
    const auto rc = twips::toCell(x), rr = twips::toCell(y);
    if (!rc || !rr) {
        // Nothing can be drawn there, but the gesture still ends.
        hideFigureBands();
        return;
    }
    const ColourValue colour = buttonColour(button);
    const int pc = PressX / twips::kPerCell, pr = PressY / twips::kPerCell;
    switch (DrawMode) {
    case 1: {
        const int x1 = shLine->x1() / twips::kPerCell, y1 = shLine->y1() / twips::kPerCell;
        const int x2 = shLine->x2() / twips::kPerCell, y2 = shLine->y2() / twips::kPerCell;
        ikon_.line(x1, y1, x2, y2, colour);
        ikon_.pset(x2, y2, colour);
        RefreshGrid();
        hideFigureBands();
        break;
    }
    case 2:
    case 3:
        ikon_.fillStyle = DrawMode == 2 ? PictureSurface::Transparent : PictureSurface::Solid;
        if (DrawMode == 2)
            ikon_.box(pc, pr, *rc, *rr, colour);
        else
            ikon_.filledBox(pc, pr, *rc, *rr, colour);
        RefreshGrid();
        hideFigureBands();
        break;
    case 4:
    case 5:
        ikon_.fillStyle = DrawMode == 4 ? PictureSurface::Transparent : PictureSurface::Solid;
        ikon_.fillColor = colour;
        ikon_.circle(pc, pr, shCircle->width() / 300.0, colour);
        RefreshGrid();
        hideFigureBands();
        break;
    case 7: {
        ikon_.fillStyle = PictureSurface::Solid;
        ikon_.fillColor = colour;
        ikon_.flatten();
        ikon_.floodFill(pc, pr, ikon_.point(*rc, *rr));
        RefreshGrid();
        break;
    }
    case 8:
        mnuCopiar->setEnabled(true);
        mnuCortar->setEnabled(true);
        break;
    case 6: printText(button, *rc, *rr); break;
    case 9: placeCapture(*rc, *rr); break;
    default: break;
    }
}

void frmGeral::hideFigureBands()
{
    switch (DrawMode) {
    case 1:
        shLine->setLine(0, 0, 0, 0);
        shLine->setVisible(false);
        break;
    case 2:
    case 3:
        shRect->setSize(0, 0);
        shRect->setVisible(false);
        break;
    case 4:
    case 5:
        shCircle->setSize(0, 0);
        shCircle->setVisible(false);
        break;
    default: break;
    }
}
