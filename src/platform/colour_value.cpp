#include "platform/colour_value.h"

#include <QGuiApplication>
#include <QPalette>

namespace colour {

namespace {

QPalette::ColorRole roleFor(ColourValue index)
{
    switch (index) {
    case 1: return QPalette::Window;          // desktop
    case 2: return QPalette::Highlight;       // active caption
    case 4: return QPalette::Window;          // menu bar
    case 5: return QPalette::Base;            // window background
    case 6: return QPalette::WindowText;      // window frame
    case 7: return QPalette::WindowText;      // menu text
    case 8: return QPalette::Text;            // window text
    case 9: return QPalette::HighlightedText; // caption text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;          // button face
    case 16: return QPalette::Dark;            // button shadow
    case 17: return QPalette::PlaceholderText; // grey text
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light; // button highlight
    case 21: return QPalette::Shadow;
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    default: return QPalette::Window;
    }
}

} // namespace

QRgb toRgb(ColourValue v)
{
    if (isSystem(v)) {
        const QPalette pal = QGuiApplication::palette();
        return pal.color(QPalette::Active, roleFor(v - kSystemFlag)).rgb() | 0xFF000000u;
    }
    if (v < 0 || v > 0xFFFFFF)
        return qRgb(0, 0, 0);
    return qRgb(red(v), green(v), blue(v));
}

QColor toQColor(ColourValue v) { return QColor::fromRgb(toRgb(v)); }

} // namespace colour
