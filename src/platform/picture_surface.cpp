#include "platform/picture_surface.h"

#include "platform/twips.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

PictureSurface::PictureSurface(QSize pixelSize, Scale scale, ColourValue background)
    : scale_(scale)
    , background_(background)
    , drawn_(pixelSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32)
{
    resetDrawn();
}

void PictureSurface::resize(QSize pixelSize)
{
    pixelSize = pixelSize.expandedTo(QSize(1, 1));
    if (pixelSize == drawn_.size())
        return;
    QImage next(pixelSize, QImage::Format_RGB32);
    next.fill(colour::toRgb(background_));
    QPainter p(&next);
    p.drawImage(0, 0, drawn_);
    p.end();
    drawn_ = next;
    markDirty(drawn_.rect());
}

int PictureSurface::toPixel(double v) const
{
    const double px = scale_ == Scale::Twips ? v / twips::kPerPixel : v;
    // Clamp far-away coordinates so they clip instead of overflowing.
    return static_cast<int>(std::clamp(twips::roundHalfEven(px), -1.0e6, 1.0e6));
}

double PictureSurface::fromPixel(int px) const
{
    return scale_ == Scale::Twips ? double(px) * twips::kPerPixel : double(px);
}

void PictureSurface::setBackColor(ColourValue c)
{
    background_ = c;
    resetDrawn();
}

void PictureSurface::setPicture(const QImage &base)
{
    base_ = base;
    resetDrawn();
}

void PictureSurface::flatten() { base_ = drawn_.copy(); }

void PictureSurface::cls() { resetDrawn(); }

void PictureSurface::resetDrawn()
{
    drawn_.fill(colour::toRgb(background_));
    if (!base_.isNull()) {
        QPainter p(&drawn_);
        p.drawImage(0, 0, base_);
    }
    markDirty(drawn_.rect());
}

void PictureSurface::plot(int x, int y, QRgb rgb)
{
    if (!contains(x, y))
        return;
    reinterpret_cast<QRgb *>(drawn_.scanLine(y))[x] = rgb;
    markDirty(QRect(x, y, 1, 1));
}

void PictureSurface::setPixelRgb(int x, int y, QRgb rgb) { plot(x, y, rgb | 0xFF000000u); }

void PictureSurface::fillPixels(const QRect &r, QRgb rgb)
{
    const QRect clipped = r & drawn_.rect();
    if (clipped.isEmpty())
        return;
    rgb |= 0xFF000000u;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(drawn_.scanLine(y));
        std::fill(row + clipped.left(), row + clipped.right() + 1, rgb);
    }
    markDirty(clipped);
}

void PictureSurface::bresenham(int x0, int y0, int x1, int y1, QRgb rgb, bool includeLast)
{
    // Points are clipped one by one; coordinates are clamped by toPixel, so even
    // a stray far-away end keeps the walk bounded.
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x0 == x1 && y0 == y1) {
            if (includeLast)
                plot(x0, y0, rgb);
            break;
        }
        plot(x0, y0, rgb);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void PictureSurface::line(double x1, double y1, double x2, double y2, ColourValue c)
{
    bresenham(toPixel(x1), toPixel(y1), toPixel(x2), toPixel(y2), colour::toRgb(c), false);
    currentX = x2;
    currentY = y2;
}

void PictureSurface::box(double x1, double y1, double x2, double y2, ColourValue c)
{
    const QRect r = corners(toPixel(x1), toPixel(y1), toPixel(x2), toPixel(y2));
    if (fillStyle == Solid)
        fillPixels(r, colour::toRgb(fillColor));
    const QRgb rgb = colour::toRgb(c);
    fillPixels(QRect(r.left(), r.top(), r.width(), 1), rgb);
    fillPixels(QRect(r.left(), r.bottom(), r.width(), 1), rgb);
    fillPixels(QRect(r.left(), r.top(), 1, r.height()), rgb);
    fillPixels(QRect(r.right(), r.top(), 1, r.height()), rgb);
    currentX = x2;
    currentY = y2;
}

void PictureSurface::filledBox(double x1, double y1, double x2, double y2, ColourValue c)
{
    fillPixels(corners(toPixel(x1), toPixel(y1), toPixel(x2), toPixel(y2)), colour::toRgb(c));
    currentX = x2;
    currentY = y2;
}

void PictureSurface::circle(double cx, double cy, double radius, ColourValue c)
{
    const int x0 = toPixel(cx), y0 = toPixel(cy);
    const double rpx = std::abs(scale_ == Scale::Twips ? radius / twips::kPerPixel : radius);
    // Beyond the picture's diagonal every pixel is either fully in or out.
    const double limit = 2.0 * (drawn_.width() + drawn_.height()) + std::abs(double(x0)) + std::abs(double(y0));
    const int r = static_cast<int>(twips::roundHalfEven(std::min(rpx, limit)));
    const QRgb outline = colour::toRgb(c);
    currentX = cx;
    currentY = cy;
    if (r == 0) {
        plot(x0, y0, outline);
        return;
    }
    // Midpoint circle; each row's outermost outline point bounds its fill span.
    std::vector<int> span(size_t(r) + 1, -1);
    std::vector<std::pair<int, int>> points;
    int x = r, y = 0, err = 1 - r;
    while (x >= y) {
        span[size_t(y)] = std::max(span[size_t(y)], x);
        span[size_t(x)] = std::max(span[size_t(x)], y);
        points.emplace_back(x, y);
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
    if (fillStyle == Solid) {
        const QRgb fill = colour::toRgb(fillColor);
        for (int dy = 0; dy <= r; ++dy) {
            const int w = span[size_t(dy)];
            fillPixels(QRect(QPoint(x0 - w, y0 + dy), QPoint(x0 + w, y0 + dy)), fill);
            fillPixels(QRect(QPoint(x0 - w, y0 - dy), QPoint(x0 + w, y0 - dy)), fill);
        }
    }
    for (const auto &[px, py] : points) {
        plot(x0 + px, y0 + py, outline);
        plot(x0 - px, y0 + py, outline);
        plot(x0 + px, y0 - py, outline);
        plot(x0 - px, y0 - py, outline);
        plot(x0 + py, y0 + px, outline);
        plot(x0 - py, y0 + px, outline);
        plot(x0 + py, y0 - px, outline);
        plot(x0 - py, y0 - px, outline);
    }
}

void PictureSurface::pset(double x, double y, ColourValue c)
{
    plot(toPixel(x), toPixel(y), colour::toRgb(c));
    currentX = x;
    currentY = y;
}

ColourValue PictureSurface::point(double x, double y) const
{
    const int px = toPixel(x), py = toPixel(y);
    if (!contains(px, py))
        return colour::kOutside;
    return colour::fromRgb(drawn_.pixel(px, py));
}

static QFont aliased(QFont f)
{
    // Icons are 32 pixels: smoothing would smear glyphs into colours the user never chose.
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

void PictureSurface::print(const QString &text)
{
    if (text.isEmpty())
        return;
    const QFont f = aliased(font);
    const QFontMetricsF fm(f, &drawn_);
    {
        QPainter p(&drawn_);
        p.setFont(f);
        p.setPen(colour::toQColor(foreColor));
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.drawText(QPointF(toPixel(currentX), toPixel(currentY) + fm.ascent()), text);
    }
    markDirty(drawn_.rect());
    currentY += scale_ == Scale::Twips ? fm.height() * twips::kPerPixel : fm.height();
}

double PictureSurface::textWidth(const QString &text) const
{
    const double w = QFontMetricsF(aliased(font), &drawn_).horizontalAdvance(text);
    return scale_ == Scale::Twips ? w * twips::kPerPixel : w;
}

double PictureSurface::textHeight(const QString &) const
{
    const double h = QFontMetricsF(aliased(font), &drawn_).height();
    return scale_ == Scale::Twips ? h * twips::kPerPixel : h;
}

void PictureSurface::paintPicture(const QImage &src, int dx, int dy, int sx, int sy, int w, int h)
{
    if (src.isNull() || w <= 0 || h <= 0)
        return;
    // Clip the source block to the source, then the target to this picture.
    QRect from = QRect(sx, sy, w, h) & src.rect();
    if (from.isEmpty())
        return;
    dx += from.left() - sx;
    dy += from.top() - sy;
    const QRect to = QRect(dx, dy, from.width(), from.height()) & drawn_.rect();
    if (to.isEmpty())
        return;
    from.translate(to.left() - dx, to.top() - dy);
    from.setSize(to.size());
    const QImage block = src.copy(from).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < to.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(block.constScanLine(y));
        QRgb *out = reinterpret_cast<QRgb *>(drawn_.scanLine(to.top() + y)) + to.left();
        std::copy(in, in + to.width(), out);
    }
    markDirty(to);
}

void PictureSurface::floodFill(double x, double y, ColourValue target)
{
    const int sx = toPixel(x), sy = toPixel(y);
    if (!contains(sx, sy) || target < 0)
        return;
    const QRgb targetRgb = colour::toRgb(target) | 0xFF000000u;
    const QRgb fill = colour::toRgb(fillColor) | 0xFF000000u;
    if ((drawn_.pixel(sx, sy) | 0xFF000000u) != targetRgb || fill == targetRgb)
        return;
    const int w = drawn_.width(), h = drawn_.height();
    uchar *bits = drawn_.bits();
    const qsizetype stride = drawn_.bytesPerLine();
    auto at = [bits, stride](int px, int py) -> QRgb & { return reinterpret_cast<QRgb *>(bits + py * stride)[px]; };
    std::vector<QPoint> stack{QPoint(sx, sy)};
    while (!stack.empty()) {
        const QPoint s = stack.back();
        stack.pop_back();
        int l = s.x();
        if ((at(l, s.y()) | 0xFF000000u) != targetRgb)
            continue;
        while (l > 0 && (at(l - 1, s.y()) | 0xFF000000u) == targetRgb)
            --l;
        int r = s.x();
        while (r + 1 < w && (at(r + 1, s.y()) | 0xFF000000u) == targetRgb)
            ++r;
        for (int i = l; i <= r; ++i)
            at(i, s.y()) = fill;
        markDirty(QRect(l, s.y(), r - l + 1, 1));
        for (int ny : {s.y() - 1, s.y() + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            bool inRun = false;
            for (int i = l; i <= r; ++i) {
                const bool match = (at(i, ny) | 0xFF000000u) == targetRgb;
                if (match && !inRun)
                    stack.emplace_back(i, ny);
                inRun = match;
            }
        }
    }
}

QRect PictureSurface::takeDirty()
{
    const QRect d = dirty_;
    dirty_ = QRect();
    return d;
}
