#pragma once
// One-pixel shifts of the 32 x 32 icon without wrap-around: what goes over the
// edge is lost, the freed column or row turns white. Each walks the pixels in
// the order that never reads one it has already overwritten.

class PictureSurface;

namespace shift {

void ShiftRight(PictureSurface &ikon);
void ShiftLeft(PictureSurface &ikon);
void ShiftUp(PictureSurface &ikon);
void ShiftDown(PictureSurface &ikon);

// The operations behind cmdShift(i), i = 0..7, in their order.
void byButton(PictureSurface &ikon, int index);

} // namespace shift
