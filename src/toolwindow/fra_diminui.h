#pragma once
// The tool window's reduce panel: one button cycles "Resize" (draw the shell's
// small icon of the current file), "Transfer" (put it on a reduced canvas) and
// "Return, Clean!" (back to the normal, now empty canvas).

#include "platform/picture_surface.h"

#include <QGroupBox>
#include <QPoint>

class EditorLink;
class PictureBox;
class QPushButton;

class fraDiminui : public QGroupBox
{
    Q_OBJECT
public:
    // Where the small icon is drawn in picPequeno: ((W / tx + 2) / 2 - 1,
    // (H / ty + 2) / 2 - 1), each rounded half to even; W and H are the canvas
    // size in pixels, tx and ty the screen's twips per pixel.
    static QPoint drawPosition(int canvasWidth, int canvasHeight, int twipsPerPixelX, int twipsPerPixelY);

    fraDiminui(QWidget *parent, EditorLink &main, const qint16 &twipsPerPixelX, const qint16 &twipsPerPixelY);

    QPushButton *cmdDiminuir;
    QGroupBox *Frame1;
    PictureBox *picPequeno;
    PictureSurface &pequenoSurface() { return pequeno_; }

    void cmdDiminuir_Click();

private:
    EditorLink &main_;
    const qint16 &tx_, &ty_;
    PictureSurface pequeno_;
};
