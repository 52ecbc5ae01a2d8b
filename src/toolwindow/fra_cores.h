#pragma once
// The tool window's colour palette: 32 preset colours and eight user boxes.
// A press picks a colour into the panel's own swatches (left button into
// LeftColor, any other into RightColor); a click then hands both swatches to
// the main window. A click on a user box first lets the user choose its colour.

#include "platform/colour_value.h"

#include <QGroupBox>
#include <array>

class EditorLink;
class Label;
class PictureBox;

class fraCores : public QGroupBox
{
    Q_OBJECT
public:
    // Indexes of the user boxes, left to right.
    static constexpr std::array<int, 8> kUserBoxes{47, 45, 40, 42, 39, 35, 34, 33};
    // The 32 preset colours, index 8 * row + column, as colour values.
    static ColourValue presetColour(int index);

    fraCores(QWidget *parent, EditorLink &main);

    // Hands the two swatches to the main window: right first, then left.
    void copyToMainWindow();

    Label *Label1, *Label2, *Label3;
    PictureBox *LeftColor, *RightColor;
    std::array<PictureBox *, 48> Color{}; // indexes without a box stay null

    void Color_MouseDown(int index, int button);
    void Color_Click(int index);

private:
    EditorLink &main_;
};
