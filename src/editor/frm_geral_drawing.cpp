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
    case drawmode::Pencil:
        if (shift != 0) {
            if (tools::keepsColumn(PressX, PressY, x, y))
                PointerCol = PressX / twips::kPerCell;
            else
                PointerRow = PressY / twips::kPerCell;
        }
        PaintCell(twips::kPerCell * PointerCol, twips::kPerCell * PointerRow, colour);
        break;
    case drawmode::Line:
        shLine->setLine(PressX, PressY, int(twips::roundHalfEven(x)), int(twips::roundHalfEven(y)));
        break;
    case drawmode::Rectangle:
    case drawmode::FilledRectangle: {
        const auto r = tools::rubberRect(PressX, PressY, x, y);
        shRect->setGeometry(r.left, r.top, r.width, r.height);
        break;
    }
    case drawmode::Circle:
    case drawmode::FilledCircle:
        if (const auto r = tools::rubberCircle(PressX, PressY, x, y))
            shCircle->setGeometry(r->left, r->top, r->width, r->height);
        break;
    case drawmode::Capture: {
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
    case drawmode::Pencil:
        // Paint the pressed cell even when no move reported it first (a tap,
        // or a press right after the window appeared under the pointer).
        PointerCol = PressX / twips::kPerCell;
        PointerRow = PressY / twips::kPerCell;
        PaintCell(twips::kPerCell * PointerCol, twips::kPerCell * PointerRow, colour);
        break;
    case drawmode::Line:
        shLine->setLine(PressX, PressY, PressX, PressY);
        shLine->setVisible(true);
        break;
    case drawmode::Rectangle:
    case drawmode::FilledRectangle: shRect->setVisible(true); break;
    case drawmode::Circle:
    case drawmode::FilledCircle: shCircle->setVisible(true); break;
    case drawmode::Capture: shCapture->setVisible(true); break;
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
    case drawmode::Line: {
        const int x1 = shLine->x1() / twips::kPerCell, y1 = shLine->y1() / twips::kPerCell;
        const int x2 = shLine->x2() / twips::kPerCell, y2 = shLine->y2() / twips::kPerCell;
        ikon_.line(x1, y1, x2, y2, colour);
        ikon_.pset(x2, y2, colour);
        RefreshGrid();
        hideFigureBands();
        break;
    }
    case drawmode::Rectangle:
    case drawmode::FilledRectangle:
        ikon_.fillStyle = DrawMode == drawmode::Rectangle ? PictureSurface::Transparent : PictureSurface::Solid;
        if (DrawMode == drawmode::Rectangle)
            ikon_.box(pc, pr, *rc, *rr, colour);
        else
            ikon_.filledBox(pc, pr, *rc, *rr, colour);
        RefreshGrid();
        hideFigureBands();
        break;
    case drawmode::Circle:
    case drawmode::FilledCircle:
        ikon_.fillStyle = DrawMode == drawmode::Circle ? PictureSurface::Transparent : PictureSurface::Solid;
        ikon_.fillColor = colour;
        ikon_.circle(pc, pr, shCircle->width() / 300.0, colour);
        RefreshGrid();
        hideFigureBands();
        break;
    case drawmode::Fill: {
        ikon_.fillStyle = PictureSurface::Solid;
        ikon_.fillColor = colour;
        ikon_.flatten();
        ikon_.floodFill(pc, pr, ikon_.point(*rc, *rr));
        RefreshGrid();
        break;
    }
    case drawmode::Capture:
        mnuCopiar->setEnabled(true);
        mnuCortar->setEnabled(true);
        break;
    case drawmode::Text: printText(button, *rc, *rr); break;
    case drawmode::PastePlacement: placeCapture(*rc, *rr); break;
    default: break;
    }
}

void frmGeral::hideFigureBands()
{
    switch (DrawMode) {
    case drawmode::Line:
        shLine->setLine(0, 0, 0, 0);
        shLine->setVisible(false);
        break;
    case drawmode::Rectangle:
    case drawmode::FilledRectangle:
        shRect->setSize(0, 0);
        shRect->setVisible(false);
        break;
    case drawmode::Circle:
    case drawmode::FilledCircle:
        shCircle->setSize(0, 0);
        shCircle->setVisible(false);
        break;
    default: break;
    }
}
