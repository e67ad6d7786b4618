#!/usr/bin/env python3
"""Draws the program's images: the application icon (PNG), the hand pointer
(HAND-M.CUR) and the row-drag pointer (drag.ico), from the shapes below.

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


def application_icon(size=64):
    img = canvas(size)
    s = size / 64
    def r(x0, y0, x1, y1, c):
        rect(img, int(x0 * s), int(y0 * s), int(x1 * s), int(y1 * s), c)
    # A sheet with a green header row and a grid, and an arrow to the right.
    r(6, 4, 46, 60, (90, 90, 90, 255))
    r(7, 5, 45, 59, WHITE)
    r(7, 5, 45, 15, (36, 138, 61, 255))
    for y in range(23, 59, 8):
        r(7, y, 45, y + 1, (170, 190, 170, 255))
    for x in (19, 32):
        r(x, 15, x + 1, 59, (170, 190, 170, 255))
    r(30, 34, 50, 44, (31, 78, 160, 255))
    for i in range(12):
        r(50 + i, 27 + i, 51 + i, 51 - i, (31, 78, 160, 255))
    return img


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
    with open(os.path.join(out, "HAND-M.CUR"), "wb") as f:
        f.write(icon_file(from_pattern(HAND, True), hotspot=(13, 0)))
    with open(os.path.join(out, "drag.ico"), "wb") as f:
        f.write(icon_file(from_pattern(ARROWS, False)))


if __name__ == "__main__":
    main()
