#pragma once
// The drawing state a metafile changes record by record: mapping from logical
// to device coordinates, selected objects, colours and modes. SAVEDC copies it.

#include "formats/wmf_objects.h"
#include "formats/wmf_records.h"

#include <QPoint>
#include <QPointF>
#include <QRegion>
#include <QRgb>
#include <QSizeF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

namespace wmf {

// Device coordinates are clamped to this range before they reach QPainter: far
// outside any image we render, yet well inside its fixed-point rasteriser.
inline constexpr double kDeviceLimit = 4.0 * 1024 * 1024;

struct DcState
{
    std::uint16_t mapMode = MmAnisotropic;
    QPointF windowOrg;
    QSizeF windowExt{1, 1};
    QPointF viewportOrg;
    QSizeF viewportExt{1, 1};

    Pen pen;
    Brush brush;
    Font font;
    QRgb bkColour = qRgb(255, 255, 255);
    QRgb textColour = qRgb(0, 0, 0);
    std::uint16_t bkMode = Opaque;
    std::uint16_t polyFillMode = Alternate;
    std::uint16_t rop2 = R2CopyPen;
    std::uint16_t textAlign = 0;
    QPointF currentPosition;     // logical
    std::optional<QRegion> clip; // device; none means the whole image

    // Device units per logical unit along each axis, signed.
    double scaleX() const { return scales().first; }
    double scaleY() const { return scales().second; }

    QPointF toDeviceF(double x, double y) const
    {
        const auto [sx, sy] = scales();
        return {clampDevice((x - windowOrg.x()) * sx + viewportOrg.x()),
                clampDevice((y - windowOrg.y()) * sy + viewportOrg.y())};
    }

    // GDI works in whole device pixels, so every mapped point is rounded.
    QPoint toDevice(double x, double y) const
    {
        const QPointF p = toDeviceF(x, y);
        return {int(std::lround(p.x())), int(std::lround(p.y()))};
    }

    // A logical length along x (pen widths, corner sizes), in device pixels.
    double lengthX(double l) const { return std::min(std::fabs(l * scaleX()), kDeviceLimit); }
    double lengthY(double l) const { return std::min(std::fabs(l * scaleY()), kDeviceLimit); }

private:
    static double clampDevice(double v) { return std::clamp(v, -kDeviceLimit, kDeviceLimit); }

    std::pair<double, double> scales() const
    {
        // MM_TEXT ignores the extents. The metric and English modes are treated
        // like MM_ANISOTROPIC: the extents the file sets are what it relies on.
        if (mapMode == MmText)
            return {1.0, 1.0};
        const double sx = viewportExt.width() / windowExt.width();
        const double sy = viewportExt.height() / windowExt.height();
        if (mapMode == MmIsotropic) {
            const double s = std::min(std::fabs(sx), std::fabs(sy));
            return {std::copysign(s, sx), std::copysign(s, sy)};
        }
        return {sx, sy};
    }
};

} // namespace wmf
