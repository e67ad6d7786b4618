#!/usr/bin/env python3
"""Draws the program's images: the application icon (PNG), the hand pointer
(HAND-M.CUR) and the row-drag pointer (drag.ico), from the shapes below; and
the application icon at each size of the hicolor icon theme, in
OUTPUT_FOLDER/hicolor/NxN/apps/quillmere.png.

usage: make_images.py OUTPUT_FOLDER
"""
import os
import struct
import sys
import zlib

TRANSPARENT = (0, 0, 0, 0)
BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)


def canvas(size, colour=TRANSPARENT):
    return [[colour] * size for _ in range(size)]


def rect(img, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(len(img), y1)):
        for x in range(max(0, x0), min(len(img), x1)):
            img[y][x] = colour


def png(img):
    size = len(img)
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in img)
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(img):
    """A 32-bit bottom-up DIB with its AND mask, as icon and cursor files hold them."""
    size = len(img)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(img) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(img):
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def icon_file(img, hotspot=None):
    """An .ico file, or a .cur file when a hot spot is given."""
    size = len(img)
    data = dib(img)
    kind = 2 if hotspot else 1
    planes, bits = hotspot if hotspot else (1, 32)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, planes, bits, len(data), 6 + 16)
    return struct.pack("<HHH", 0, kind, 1) + entry + data


# The sizes of the hicolor icon theme that the package installs.
THEME_SIZES = (16, 24, 32, 48, 64, 128, 256)
ARROW_BLUE = (31, 78, 160, 255)


def application_icon(size=64):
    """The icon on a 64-unit grid, drawn at SIZE pixels: edges on whole
    pixels, lines at least one pixel wide, fewer grid lines when small, and
    the arrow head smoothed."""
    img = canvas(size)
    s = size / 64
    line = max(1, int(round(s)))
    def at(v):
        return int(round(v * s))
    def r(x0, y0, x1, y1, c):
        rect(img, at(x0), at(y0), max(at(x1), at(x0) + 1), max(at(y1), at(y0) + 1), c)
    # A sheet with a green header row and a grid, and an arrow to the right.
    grid = (170, 190, 170, 255)
    left, top, right, bottom = at(6), at(4), at(46), at(60)
    rect(img, left, top, right, bottom, (90, 90, 90, 255))
    rect(img, left + line, top + line, right - line, bottom - line, WHITE)
    rect(img, left + line, top + line, right - line, at(15), (36, 138, 61, 255))
    rows = range(23, 59, 8) if size >= 32 else (27, 39, 51)
    for y in rows:
        rect(img, left + line, at(y), right - line, at(y) + line, grid)
    for x in (19, 32):
        rect(img, at(x), at(15), at(x) + line, bottom - line, grid)
    r(30, 34, 50, 44, ARROW_BLUE)
    arrow_head(img, s)
    return img


def arrow_head(img, s):
    """The triangle (50, 27), (62, 39), (50, 51) on the 64-unit grid, each
    pixel blended by the share of 4x4 samples inside it."""
    size = len(img)
    for py in range(size):
        for px in range(int(50 * s), min(size, int(62 * s) + 1)):
            inside = 0
            for sy in range(4):
                for sx in range(4):
                    x = (px + (sx + 0.5) / 4) / s
                    y = (py + (sy + 0.5) / 4) / s
                    if x >= 50 and abs(y - 39) <= 62 - x:
                        inside += 1
            if inside:
                img[py][px] = over(ARROW_BLUE, inside / 16, img[py][px])


def over(colour, share, below):
    """COLOUR with SHARE of its cover laid over BELOW."""
    a = share * colour[3] / 255
    b = below[3] / 255 * (1 - a)
    out = a + b
    if out == 0:
        return TRANSPARENT
    return tuple(int(round((colour[i] * a + below[i] * b) / out)) for i in range(3)) + (int(round(out * 255)),)


HAND = [
    "......XX........",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..X.......",
    ".....X..XXX.....",
    ".....X..X..XXX..",
    "..XX.X..X..X..XX",
    ".X..XX........X.X",
    ".X...X..........X",
    "..X.............X",
    "..X............X",
    "...X...........X",
    "...X..........X.",
    "....X.........X.",
    ".....X.......X..",
    ".....XXXXXXXXX..",
]

ARROWS = [
    ".......XX.......",
    "......XWWX......",
    ".....XWWWWX.....",
    "....XWWWWWWX....",
    "...XXXXWWXXXX...",
    "......XWWX......",
    "......XWWX......",
    "......XWWX......",
    "......XWWX......",
    "......XWWX......",
    "......XWWX......",
    "...XXXXWWXXXX...",
    "....XWWWWWWX....",
    ".....XWWWWX.....",
    "......XWWX......",
    ".......XX.......",
]


def from_pattern(pattern, fill_inside):
    img = canvas(32)
    for y, line in enumerate(pattern):
        for x, ch in enumerate(line[:16]):
            colour = BLACK if ch == "X" else WHITE if ch == "W" else None
            if colour:
                rect(img, 2 * x, 2 * y, 2 * x + 2, 2 * y + 2, colour)
    if fill_inside:
        # Fill the inside of the outline white, row by row between its edges.
        for y in range(32):
            xs = [x for x in range(32) if img[y][x] == BLACK]
            if len(xs) >= 2:
                for x in range(xs[0] + 1, xs[-1]):
                    if img[y][x] == TRANSPARENT:
                        img[y][x] = WHITE
    return img


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "quillmere.png"), "wb") as f:
        f.write(png(application_icon()))
    for size in THEME_SIZES:
        folder = os.path.join(out, "hicolor", "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "quillmere.png"), "wb") as f:
            f.write(png(application_icon(size)))
    with open(os.path.join(out, "HAND-M.CUR"), "wb") as f:
        f.write(icon_file(from_pattern(HAND, True), hotspot=(13, 0)))
    with open(os.path.join(out, "drag.ico"), "wb") as f:
        f.write(icon_file(from_pattern(ARROWS, False)))


if __name__ == "__main__":
    main()
