#pragma once
// The desktop colour picker: freezes the desktop under a full-screen surface,
// reads the colour under the pointer live, picks it with a press and hands it
// to the editor's left button with "Click - Me!".

#include "colour/colour_arithmetic.h"
#include "platform/side_window.h"

#include <QPointer>
#include <QTimer>

#include <array>

class EditorLink;
class frmVeCor2;
class Label;
class PictureBox;
class QPushButton;

class frmVeCor1 : public SideWindow
{
    Q_OBJECT
public:
    explicit frmVeCor1(EditorLink &main);

    QPushButton *Btn_select, *cmdLevaCor;
    PictureBox *Picture1;
    Label *Lbl_long, *Label7, *Label8, *Label9, *Lbl_red, *Lbl_green, *Lbl_blue;

    // Shared by the events of both windows.
    qint32 pickedColour = 0;
    colourmath::Intensities shown;

    void Btn_select_Click();
    void cmdLevaCor_Click();
    void surface_Activate();
    // The live read-out of one pointer position and the pick of a press.
    void surface_MouseMove(ColourValue colour);
    void surface_MouseDown(ColourValue colour);
    // Splits the picked colour into the swatch and the three intensity labels.
    void SplitPickedColour();
    // Paints the read-out numbers now rather than at the next display frame.
    void showReadOutLabels();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void readOut(ColourValue colour);
    void showSplitColour(); // the three intensity labels from `shown`
    std::array<Label *, 4> readOutLabels() const { return {Lbl_long, Lbl_red, Lbl_green, Lbl_blue}; }

    QTimer readOutFrame; // the labels' next paint while the pointer moves
    EditorLink &main_;
};
