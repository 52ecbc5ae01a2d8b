#pragma once
// A picture box control: shows a picture surface (or a fixed picture over its
// background colour) and reports pointer events in the surface's own scale,
// with the classic button (1 left, 2 right, 4 middle) and modifier (1 Shift,
// 2 Ctrl, 4 Alt) codes.

#include "platform/colour_value.h"

#include <QImage>
#include <QWidget>

class LiveSwatch;
class PictureSurface;
class QMouseEvent;

class PictureBox : public QWidget
{
    Q_OBJECT
public:
    PictureBox(QWidget *parent, const QString &name);

    // The surface is owned by the form; the box only shows it.
    void setSurface(PictureSurface *surface);
    PictureSurface *surface() const { return surface_; }

    ColourValue backColor() const { return backColor_; }
    void setBackColor(ColourValue c);
    // From now on the back colour is shown by a LiveSwatch inside the border:
    // each change is on screen before setBackColor returns, without a repaint
    // of the box.
    void showBackColorLive();
    const QImage &picture() const { return picture_; }
    void setPicture(const QImage &picture);
    // A sunken frame of this many pixels around the client area.
    void setBorderWidth(int px);
    int borderWidth() const { return border_; }
    // Whether pointer positions are reported in twips (15 per pixel) or pixels.
    void setTwipsScale(bool on) { twipsScale_ = on; }

    // Repaints what the surface marked as changed since the last flush.
    void flush();

    static int buttonCode(Qt::MouseButton b);
    static int buttonsCode(Qt::MouseButtons b);
    static int shiftCode(Qt::KeyboardModifiers m);

signals:
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    void clicked();         // left button pressed and released inside
    void Click(int button); // the same for the left (1) or right (2) button

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    QPointF scaled(const QMouseEvent *e) const;
    void placeLiveSwatch(); // inside the border

    PictureSurface *surface_ = nullptr;
    LiveSwatch *live_ = nullptr;
    ColourValue backColor_ = 0x8000000F;
    QImage picture_;
    int border_ = 0;
    bool twipsScale_ = false;
    Qt::MouseButton pressedButton_ = Qt::NoButton;
};
