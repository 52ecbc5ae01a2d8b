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


def find_grid(img):
    """Top-left of the grid: 32 vertical and 32 horizontal black bars 10 px apart."""
    w, h, _ = img
    for y in range(h - 330):
        for x in range(w - 330):
            if not is_black(pixel(img, x, y)):
                continue
            if is_black(pixel(img, x + 5, y + 5)) or not is_black(pixel(img, x + 310, y)):
                continue
            if all(is_black(pixel(img, x + 10 * i, y + 5)) and is_black(pixel(img, x + 5, y + 10 * i))
                   for i in range(32)) and not is_black(pixel(img, x - 1, y + 5)):
                return x, y
    return None


def find_logo(img):
    """Top-left of the start-up logo: its grey frame's top edge, 350 px wide."""
    w, h, _ = img
    grey = (128, 128, 128)
    for y in range(h):
        run = 0
        for x in range(w):
            run = run + 1 if pixel(img, x, y) == grey else 0
            if run == 340 and pixel(img, x - 339 + 10, y + 10) == (0, 0, 0):
                return x - 339, y
    return None


def main():
    cmd, png = sys.argv[1], sys.argv[2]
    img = load(png)
    if cmd == "grid":
        g = find_grid(img)
        if not g:
            sys.exit("grid not found")
        print(g[0], g[1])
    elif cmd == "logo":
        g = find_logo(img)
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
    elif cmd == "pixel":
        x, y = int(sys.argv[3]), int(sys.argv[4])
        print("%d %d %d" % pixel(img, x, y))
    else:
        sys.exit("unknown command " + cmd)


if __name__ == "__main__":
    main()
