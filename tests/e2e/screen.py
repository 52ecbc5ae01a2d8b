#!/usr/bin/env python3
"""Reads screenshots of the editor: finds the magnified grid by its bar lines
and reports the colour shown in a cell. Pixels come from ImageMagick's
`convert`, so no imaging module is needed."""
import subprocess
import sys


def load(png):
    ppm = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    # P6 header: magic, width, height, maxval, each separated by white space.
    fields, pos = [], 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not ppm[pos:pos + 1].isspace():
            pos += 1
        fields.append(ppm[start:pos])
    pos += 1
    w, h = int(fields[1]), int(fields[2])
    return w, h, ppm[pos:]


def pixel(img, x, y):
    w, h, data = img
    i = 3 * (y * w + x)
    return tuple(data[i:i + 3])


def is_black(p):
    return max(p) < 40


def find_grid(img, scale=1.0):
    """Top-left of the grid: 32 vertical and 32 horizontal black bars 10 points
    apart, a point being `scale` screen pixels."""
    w, h, _ = img
    at = lambda n: int(round(n * scale))  # noqa: E731
    span = at(330)
    for y in range(h - span):
        for x in range(w - span):
            if not is_black(pixel(img, x, y)):
                continue
            if is_black(pixel(img, x + at(5), y + at(5))) or not is_black(pixel(img, x + at(310), y)):
                continue
            if all(is_black(pixel(img, x + at(10 * i), y + at(5))) and is_black(pixel(img, x + at(5), y + at(10 * i)))
                   for i in range(32)) and not is_black(pixel(img, x - 1, y + at(5))):
                return x, y
    return None


def find_logo(img, scale=1.0):
    """Top-left of the start-up logo: its grey frame's top edge, 350 points wide."""
    w, h, _ = img
    grey = (128, 128, 128)
    edge = int(340 * scale)
    for y in range(h):
        run = 0
        for x in range(w):
            run = run + 1 if pixel(img, x, y) == grey else 0
            if run == edge and pixel(img, x - edge + 1 + int(10 * scale), y + int(10 * scale)) == (0, 0, 0):
                return x - edge + 1, y
    return None


def main():
    cmd, png = sys.argv[1], sys.argv[2]
    img = load(png)
    scale = float(sys.argv[3]) if len(sys.argv) > 3 and cmd in ("grid", "logo") else 1.0
    if cmd == "grid":
        g = find_grid(img, scale)
        if not g:
            sys.exit("grid not found")
        print(g[0], g[1])
    elif cmd == "logo":
        g = find_logo(img, scale)
        if not g:
            sys.exit("logo not found")
        print(g[0], g[1])
    elif cmd == "has":
        want = bytes(int(v) for v in sys.argv[3:6])
        data = img[2]
        for i in range(0, len(data) - 2, 3):
            if data[i:i + 3] == want:
                sys.exit(0)
        sys.exit(1)
    elif cmd == "cells":  # cells <png> <grid x> <grid y> <scale>: each cell's colour, row by row
        gx, gy, scale = int(sys.argv[3]), int(sys.argv[4]), float(sys.argv[5])
        for r in range(32):
            print(" ".join("%d,%d,%d" % pixel(img, gx + int((10 * c + 5) * scale), gy + int((10 * r + 5) * scale))
                           for c in range(32)))
    elif cmd == "pixel":
        x, y = int(sys.argv[3]), int(sys.argv[4])
        print("%d %d %d" % pixel(img, x, y))
    else:
        sys.exit("unknown command " + cmd)


if __name__ == "__main__":
    main()
