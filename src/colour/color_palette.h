#pragma once
// The RGB colour dialog: three sliders (the only state), three number boxes,
// a swatch per channel, the mixed colour and its hexadecimal value. "Select"
// makes the mixed colour the editor's left-button colour.

#include "platform/side_window.h"

#include <array>

class EditorLink;
class Label;
class PictureBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSlider;

class ColorPalette : public SideWindow
{
    Q_OBJECT
public:
    explicit ColorPalette(EditorLink &main);

    // Index 1 red, 2 green, 3 blue; index 0 is unused.
    std::array<QSlider *, 4> RGBValue{};
    std::array<QLineEdit *, 4> RGBNumber{};
    Label *RedLabel, *GreenLabel, *BlueLabel, *lblValue;
    PictureBox *RedValue, *GreenValue, *BlueValue, *picColor;
    QLineEdit *txtValue;
    QGroupBox *fraValue;
    QPushButton *cmdSelect;

    void RGBValue_Change(int index);
    void RGBNumber_Change(int index);
    // Keep only the clicked channel (1, 2 or 3).
    void channelSwatch_Click(int index);
    void cmdSelect_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    EditorLink &main_;
};
