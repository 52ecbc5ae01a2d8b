#pragma once
// A solid colour that must be on screen the moment it changes, many times a
// second (the desktop picker's swatch under a moving pointer). On X11 it is a
// window of its own whose background the display server fills itself: a
// change is two small requests, with no image to upload and no round trip to
// wait for the server to release the shared-memory image of the last repaint.
// Elsewhere (other platforms, a display without true colour) it paints itself
// and repaints at once.

#include <QColor>
#include <QWidget>

struct xcb_connection_t;

class LiveSwatch : public QWidget
{
    Q_OBJECT
public:
    explicit LiveSwatch(QWidget *parent);
    ~LiveSwatch() override;

    // Shows the colour before returning.
    void setColour(QColor c);
    QColor colour() const { return colour_; }
    // Whether the display server fills the swatch now (false: painted by Qt).
    bool filledByServer() const;

    // Where a true-colour visual keeps red, green and blue, and the bits set in
    // every pixel (an opaque alpha).
    struct PixelLayout
    {
        quint32 red = 0, green = 0, blue = 0, opaque = 0;
    };
    // The pixel value of a colour in that layout, each channel rounded to its width.
    static quint32 pixelOf(const PixelLayout &layout, QColor colour);

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    void makeServerWindow();  // unless there is one in the top-level's current native window
    void placeServerWindow(); // over this widget

    xcb_connection_t *const x11_; // null off X11
    QColor colour_ = Qt::black;
    quint32 host_ = 0;   // the top-level's native window it was made in
    quint32 server_ = 0; // the swatch's own, 0 while there is none
    PixelLayout layout_;
};
