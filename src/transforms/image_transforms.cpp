#include "transforms/image_transforms.h"

#include "platform/picture_surface.h"

#include <array>

namespace transforms {

namespace {

constexpr int kSize = 32;
using Table = std::array<std::array<ColourValue, kSize>, kSize>; // [row][column]

Table readTable(const PictureSurface &ikon)
{
    Table t{};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            t[y][x] = ikon.point(x, y);
    return t;
}

// Pixels that read as "outside" (a picture smaller than 32) are left alone.
void put(PictureSurface &ikon, int x, int y, ColourValue c)
{
    if (c >= 0)
        ikon.pset(x, y, c);
}

} // namespace

void clean(PictureSurface &ikon, ColourValue colour) { ikon.filledBox(0, 0, kSize - 1, kSize - 1, colour); }

void rotate13(PictureSurface &ikon)
{
    const Table t = readTable(ikon);
    for (int a = 0; a < kSize; ++a)
        for (int b = 0; b < kSize; ++b)
            put(ikon, a, b, t[a][b]);
}

void rotateHorizontal(PictureSurface &ikon)
{
    const Table t = readTable(ikon);
    for (int y = 0; y < kSize; ++y)
        for (int x = kSize - 1; x >= 0; --x)
            put(ikon, x, y, t[y][kSize - 1 - x]);
}

void rotateVertical(PictureSurface &ikon)
{
    const Table t = readTable(ikon);
    for (int y = kSize - 1; y >= 0; --y)
        for (int x = 0; x < kSize; ++x)
            put(ikon, x, y, t[kSize - 1 - y][x]);
}

} // namespace transforms
