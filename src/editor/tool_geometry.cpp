#include "editor/tool_geometry.h"

#include "platform/twips.h"

#include <cmath>

namespace tools {

QString readout(int col, int row)
{
    const auto two = [](int v) { return (QStringLiteral("0") + QString::number(v)).right(2); };
    return QStringLiteral("X: ") + two(col) + QStringLiteral("  Y: ") + two(row);
}

Rect rubberRect(int pressX, int pressY, double x, double y)
{
    const int xi = int(twips::roundHalfEven(x)), yi = int(twips::roundHalfEven(y));
    return Rect{x > pressX ? pressX : xi, y > pressY ? pressY : yi, std::abs(pressX - xi), std::abs(pressY - yi)};
}

std::optional<Rect> rubberCircle(int pressX, int pressY, double x, double y)
{
    const double d = twips::roundHalfEven(std::hypot(pressX - x, pressY - y));
    if (!std::isfinite(d) || 2 * d > twips::kMax16 || pressX - d < twips::kMin16 || pressY - d < twips::kMin16)
        return std::nullopt;
    const int di = int(d);
    return Rect{pressX - di, pressY - di, 2 * di, 2 * di};
}

} // namespace tools
