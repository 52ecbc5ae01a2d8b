#pragma once
// One drawable picture: a base picture (what a load, paste or clear puts there)
// and the drawn image (the base over the background, plus everything drawn
// since). Coordinates are in the surface's own scale: twips or pixels.
// Widgets only display a surface; pixels live here.

#include "platform/colour_value.h"

#include <QFont>
#include <QImage>
#include <QRect>

#include <algorithm>

class PictureSurface
{
public:
    enum class Scale { Twips, Pixels };
    enum FillStyle { Solid = 0, Transparent = 1 };

    PictureSurface(QSize pixelSize, Scale scale, ColourValue background);

    // Geometry --------------------------------------------------------------
    QSize pixelSize() const { return drawn_.size(); }
    Scale scale() const { return scale_; }
    // Changes the drawing area; what was drawn stays at the top-left.
    void resize(QSize pixelSize);
    int toPixel(double v) const;    // a coordinate of this scale -> pixel
    double fromPixel(int px) const; // pixel -> coordinate of this scale

    // Layers ----------------------------------------------------------------
    ColourValue backColor() const { return background_; }
    void setBackColor(ColourValue c); // repaints: the drawn image is reset to the base
    bool hasPicture() const { return !base_.isNull(); }
    const QImage &picture() const { return base_; }
    // Replacing the base picture resets the drawn image to it (unscaled at 0,0).
    void setPicture(const QImage &base);
    void clearPicture() { setPicture(QImage()); }
    // Makes the current drawn image the base picture.
    void flatten();
    // Drawn image back to background + base picture.
    void cls();
    const QImage &image() const { return drawn_; }

    // Drawing state ---------------------------------------------------------
    FillStyle fillStyle = Transparent;
    ColourValue fillColor = 0;
    ColourValue foreColor = 0;
    QFont font;
    double currentX = 0;
    double currentY = 0;

    // Drawing (coordinates in this surface's scale) --------------------------
    // A line leaves out its last point, as the platform's line primitive does.
    void line(double x1, double y1, double x2, double y2, ColourValue c);
    // Rectangle outline with both corners included; filled with fillColor when
    // fillStyle is Solid.
    void box(double x1, double y1, double x2, double y2, ColourValue c);
    void filledBox(double x1, double y1, double x2, double y2, ColourValue c);
    // Circle of a real radius (in this scale) centred on (cx, cy); filled with
    // fillColor when fillStyle is Solid. A radius under half a pixel is a dot.
    void circle(double cx, double cy, double radius, ColourValue c);
    void pset(double x, double y, ColourValue c);
    // Plain colour of a pixel, or colour::kOutside outside the picture.
    ColourValue point(double x, double y) const;
    // Text at (currentX, currentY) in foreColor and font, glyph pixels only.
    void print(const QString &text);
    double textWidth(const QString &text) const;
    double textHeight(const QString &text) const;
    // Unscaled block copy of src's (sx, sy, w, h) to pixel (dx, dy), clipped.
    void paintPicture(const QImage &src, int dx, int dy, int sx, int sy, int w, int h);
    // Every pixel of colour `target` connected (4-way) to (x, y) through pixels
    // of that colour becomes fillColor. Nothing when (x, y) is not `target`.
    void floodFill(double x, double y, ColourValue target);

    // Pixel-level operations for hot paths ---------------------------------
    void fillPixels(const QRect &r, QRgb rgb);                       // clipped, inclusive rect
    void setPixelRgb(int x, int y, QRgb rgb);                        // clipped
    QRgb pixelRgb(int x, int y) const { return drawn_.pixel(x, y); } // caller checks bounds
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < drawn_.width() && y < drawn_.height(); }

    // Direct write access for bulk painters: the caller reports what it changed.
    QImage &pixelsForWrite() { return drawn_; }
    void markChanged(const QRect &r) { markDirty(r & drawn_.rect()); }

    // Pixels changed since the last call (for a single repaint per event).
    QRect takeDirty();
    QRect dirty() const { return dirty_; }

private:
    void markDirty(const QRect &r) { dirty_ |= r; }
    // Inclusive rectangle spanning two corner pixels given in any order.
    static QRect corners(int x1, int y1, int x2, int y2)
    {
        return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
    }
    void resetDrawn();
    void plot(int x, int y, QRgb rgb);
    void bresenham(int x0, int y0, int x1, int y1, QRgb rgb, bool includeLast);

    Scale scale_;
    ColourValue background_;
    QImage base_;
    QImage drawn_;
    QRect dirty_;
};
