#include "editor/palette_strip.h"

#include "editor/frm_geral.h"
#include "platform/picture_box.h"
#include "platform/twips.h"

namespace palette {

Spectrum spectrum(int limitTwips, int stepTwips)
{
    Spectrum out;
    if (stepTwips <= 0)
        return out;
    // The clamps are the only places where the steps change; a red step of 50
    // keeps red pinned at 255 while green rises.
    int red = 0, green = 0, blue = 0;
    int redStep = 5, greenStep = 0, blueStep = 0;
    ColourValue current = colour::rgb(0, 0, 0);
    for (int x = 0; x <= limitTwips; x += stepTwips) {
        out.lines.push_back(current);
        if (red == 255 && green == 255 && blue == 255) {
            out.reachedWhite = true;
            out.whiteX = x;
            break;
        }
        red += redStep;
        if (red > 255) {
            red = 255;
            redStep = 50;
            greenStep = 5;
        } else if (red < 0) {
            red = 0;
            redStep = 0;
            blueStep = 5;
        }
        green += greenStep;
        if (green > 255) {
            green = 255;
            greenStep = 0;
            redStep = -5;
        } else if (green < 0) {
            green = 0;
            greenStep = 0;
            redStep = 5;
        }
        blue += blueStep;
        if (blue > 255) {
            blue = 255;
            blueStep = 0;
            greenStep = -5;
        }
        current = colour::rgb(red, green, blue);
    }
    return out;
}

} // namespace palette

// --- the strip on the main window -----------------------------------------

void frmGeral::GradiendColor()
{
    // The surface keeps what is drawn on it, so the spectrum survives repaints.
    const int border = picDefaltColor->borderWidth();
    const int innerWidth = twips::fromPixels(picDefaltColor->width() - 2 * border);
    const int innerHeight = twips::fromPixels(picDefaltColor->height() - 2 * border);
    const int step = twips::kPerPixel;
    strip_.resize(QSize(picDefaltColor->width() - 2 * border, picDefaltColor->height() - 2 * border));
    const palette::Spectrum s = palette::spectrum(innerWidth, step);
    for (size_t i = 0; i < s.lines.size(); ++i) {
        const int x = int(i) * step;
        strip_.line(x, 0, x, innerHeight, s.lines[i]);
    }
    picDefaltColor->flush();
    if (!s.reachedWhite)
        return;
    // Fit the strip to the spectrum and centre it by the main window's width.
    const int outerWidth = twips::fromPixels(picDefaltColor->width());
    const int newWidth = (outerWidth - innerWidth) + s.whiteX;
    const int mainInner = twips::fromPixels(centralWidget()->width());
    const int left = int(twips::roundHalfEven(double(mainInner) - newWidth)) / 2;
    picDefaltColor->setGeometry(twips::toPixels(left), picDefaltColor->y(), twips::toPixels(newWidth),
                                picDefaltColor->height());
}
