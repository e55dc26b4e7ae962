#!/usr/bin/python3
"""Draws the main program's toolbar strip (New, EMail, Print, Wizard; 16x15 each) as a 24-bit
.bmp whose light grey background the program maps to the button face colour.

Usage: make_toolbar.py [OUT.bmp]   (OUT defaults to zembra_toolbar.bmp)
"""
import struct
import sys

W, H = 16, 15
FACE = (192, 192, 192)
INK = (0, 0, 0)
WHITE = (255, 255, 255)
BLUE = (40, 70, 160)
GREY = (128, 128, 128)
GOLD = (230, 180, 20)


def page(x, y):
    # A blank sheet with a folded corner.
    if not (3 <= x <= 12 and 1 <= y <= 14):
        return FACE
    if x - 8 > y:
        return FACE
    if x - 8 == y or (x == 8 + 4 and y >= 4):
        return INK
    if x in (3, 12) or y in (1, 14):
        return INK
    return WHITE


def envelope(x, y):
    if not (1 <= x <= 14 and 3 <= y <= 12):
        return FACE
    if x in (1, 14) or y in (3, 12):
        return BLUE
    if abs((y - 3) - abs(x - 7.5) * -0.8 - 6) < 0.8:
        return BLUE
    return WHITE


def printer(x, y):
    if 4 <= x <= 11 and 1 <= y <= 5:
        return INK if x in (4, 11) or y == 1 else WHITE
    if 1 <= x <= 14 and 6 <= y <= 11:
        if x in (1, 14) or y in (6, 11):
            return INK
        return (0, 160, 0) if (x, y) == (12, 8) else GREY
    if 4 <= x <= 11 and 12 <= y <= 13:
        return INK if x in (4, 11) or y == 13 else WHITE
    return FACE


def wand(x, y):
    # A wand from the bottom left with a star at its tip.
    if abs((14 - y) - x) <= 0.5 and 1 <= x <= 9:
        return INK
    cx, cy = 11, 4
    dx, dy = abs(x - cx), abs(y - cy)
    if (dx == 0 and dy <= 3) or (dy == 0 and dx <= 3) or (dx == dy and dx <= 1):
        return GOLD
    return FACE


def main(argv):
    out = argv[1] if len(argv) > 1 else "zembra_toolbar.bmp"
    drawings = [page, envelope, printer, wand]
    width = W * len(drawings)
    row_size = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(H - 1, -1, -1):
        row = b"".join(struct.pack("BBB", *reversed(drawings[x // W](x % W, y))) for x in range(width))
        rows.append(row + b"\0" * (row_size - len(row)))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, H, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(out, "wb") as f:
        f.write(head + info + pixels)


if __name__ == "__main__":
    main(sys.argv)
