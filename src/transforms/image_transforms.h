#pragma once
// Whole-icon commands on the 32 x 32 Ikon. Each mirror copies all pixels into
// a table first, so every output pixel comes from the image as it was.

#include "platform/colour_value.h"

class PictureSurface;

namespace transforms {

void clean(PictureSurface &ikon, ColourValue colour); // fill with one colour
void rotate13(PictureSurface &ikon);                  // mirror across the main diagonal
void rotateHorizontal(PictureSurface &ikon);          // mirror left-right
void rotateVertical(PictureSurface &ikon);            // mirror top-bottom

} // namespace transforms
