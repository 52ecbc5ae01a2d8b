#pragma once
// The start-up arithmetic that sizes the main window to the screen and lays
// out the two outer panels, all in twips (real numbers).

#include <QRectF>

namespace startup {

struct Layout
{
    double windowWidth, windowHeight, windowLeft, windowTop;
    QRectF pnlBarra;          // in the window's client area
    QRectF pnlMaster2;        // in pnlBarra
    double logoLeft, logoTop; // picLogo in pnlMaster2
    double stripLeft;         // each animated strip in pnlMaster2
};

inline constexpr double kLogoWidth = 5265;
inline constexpr double kStripWidth = 8100;

// screen size in twips; the client area is the window less the menu bar.
inline Layout layout(double screenWidth, double screenHeight, double menuBarHeight)
{
    Layout l{};
    l.windowWidth = screenWidth - 100;
    l.windowHeight = screenHeight - 100;
    const double cw = l.windowWidth, ch = l.windowHeight - menuBarHeight;
    const double bw = cw * 0.98, bh = ch * 0.98;
    l.pnlBarra = QRectF((cw - bw) / 2, (ch - bh) / 2, bw, bh);
    const double mw = cw * 0.9, mh = ch * 0.88;
    l.pnlMaster2 = QRectF((bw - mw) / 2, (bh - mh) / 2, mw, mh);
    l.logoTop = l.pnlMaster2.top();
    l.logoLeft = (mw - kLogoWidth) / 2;
    l.stripLeft = (mw - kStripWidth) / 2;
    l.windowLeft = (screenWidth - l.windowWidth) / 2;
    l.windowTop = 400;
    return l;
}

} // namespace startup
