#pragma once
// The colour composer: red, green and blue scroll bars, each shown as a
// single-channel gradient strip, their mix as a gradient preview, and
// "Background", which makes the preview the whole icon.

#include "platform/picture_surface.h"
#include "platform/side_window.h"

#include <array>

class EditorLink;
class Label;
class PictureBox;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QScrollBar;

class frmDesenho : public SideWindow
{
    Q_OBJECT
public:
    explicit frmDesenho(EditorLink &main);

    QScrollBar *Slider1, *Slider2, *Slider3;
    Label *RedLabel, *GreenLabel, *BlueLabel, *lblValue;
    QLineEdit *Label1, *Label2, *Label3, *Label5;
    PictureBox *Picture1, *Picture2, *Picture3, *Ikon;
    QGroupBox *fraValue;
    QCheckBox *Check1;
    QPushButton *cmdSelect;

    // Slider n of 1..3 changed.
    void Slider_Change(int n);
    void Check1_Click();
    // What the blue strip does whenever it has to be painted afresh.
    void Picture3_Paint();
    void cmdSelect_Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void paint(PictureBox *box, int red, int green, int blue, bool top);
    void paintChannel(int n, bool top);
    void writeValue();

    EditorLink &main_;
    // Picture1..3 then Ikon.
    std::array<PictureSurface, 4> surfaces_;
};
