#include "commands/palette_strip.h"

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
