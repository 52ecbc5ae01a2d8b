#pragma once
// The capture surface of the desktop colour picker: a borderless window over
// the whole screen that shows a still image of the desktop at its top-left
// and reports the image colour under the pointer. Dropping the window drops
// the image with it.

#include "platform/colour_value.h"

#include <QWidget>

class PictureBox;

class frmVeCor2 : public QWidget
{
    Q_OBJECT
public:
    explicit frmVeCor2(QWidget *mainWindow);
    ~frmVeCor2() override;

    // Covers the screen, takes the cross-hair and shows `still`.
    void cover(const QImage &still);
    // The still image's colour at a surface position, -1 outside the image.
    ColourValue colourAt(QPointF pos) const;

    PictureBox *Picture1;

signals:
    void Form_Activate();
    void Picture1_MouseMove(ColourValue colour);
    void Picture1_MouseDown(ColourValue colour);

protected:
    bool event(QEvent *e) override;
};
