#include "transforms/image_shift.h"

#include "platform/colour_value.h"
#include "platform/picture_surface.h"

namespace shift {

namespace {
constexpr int kLast = 31;
}

void ShiftRight(PictureSurface &ikon)
{
    for (int y = 0; y <= kLast; ++y) {
        for (int x = kLast; x >= 1; --x)
            ikon.pset(x, y, ikon.point(x - 1, y));
        ikon.pset(0, y, colour::kWhite);
    }
}

void ShiftLeft(PictureSurface &ikon)
{
    for (int y = 0; y <= kLast; ++y) {
        for (int x = 0; x < kLast; ++x)
            ikon.pset(x, y, ikon.point(x + 1, y));
        ikon.pset(kLast, y, colour::kWhite);
    }
}

void ShiftUp(PictureSurface &ikon)
{
    for (int x = 0; x <= kLast; ++x) {
        for (int y = 0; y < kLast; ++y)
            ikon.pset(x, y, ikon.point(x, y + 1));
        ikon.pset(x, kLast, colour::kWhite);
    }
}

void ShiftDown(PictureSurface &ikon)
{
    for (int x = 0; x <= kLast; ++x) {
        for (int y = kLast; y >= 1; --y)
            ikon.pset(x, y, ikon.point(x, y - 1));
        ikon.pset(x, 0, colour::kWhite);
    }
}

void byButton(PictureSurface &ikon, int index)
{
    switch (index) {
    case 0: ShiftRight(ikon); break;
    case 1: ShiftLeft(ikon); break;
    case 2: ShiftUp(ikon); break;
    case 3: ShiftDown(ikon); break;
    case 4:
        ShiftUp(ikon);
        ShiftLeft(ikon);
        break;
    case 5:
        ShiftUp(ikon);
        ShiftRight(ikon);
        break;
    case 6:
        ShiftDown(ikon);
        ShiftLeft(ikon);
        break;
    case 7:
        ShiftDown(ikon);
        ShiftRight(ikon);
        break;
    default: break;
    }
}

} // namespace shift
