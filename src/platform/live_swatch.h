#pragma once
// A solid colour that must be on screen the moment it changes, many times a
// second (the desktop picker's swatch under a moving pointer). On X11 it is a
// child window whose background the display server fills itself: a change is
// two small requests, with no image to upload and no round trip to wait for
// the server to release the shared-memory image of the last repaint. Where
// that is not available (other platforms, or a display without true colour)
// it paints itself and repaints at once.

#include <QColor>
#include <QWidget>

class QWindow;

class LiveSwatch : public QWidget
{
    Q_OBJECT
public:
    explicit LiveSwatch(QWidget *parent);
    ~LiveSwatch() override;

    // Shows the colour before returning.
    void setColour(QColor c);
    QColor colour() const { return colour_; }
    // Whether the display server fills the swatch (false: painted by Qt).
    bool filledByServer() const;

    // Where a true-colour visual keeps red, green and blue, and the bits set in
    // every pixel (an opaque alpha).
    struct PixelLayout
    {
        quint32 red = 0, green = 0, blue = 0, opaque = 0;
    };

protected:
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void applyBackground(); // the colour as the native window's background, shown

    QColor colour_ = Qt::black;
    QWindow *window_ = nullptr;    // the native child, or null when Qt paints
    QWidget *container_ = nullptr; // holds window_ among the widgets
    PixelLayout layout_;
    bool layoutKnown_ = false; // asked of the server once per native window
};
