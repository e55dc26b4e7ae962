#!/usr/bin/python3
"""Draws the wizard pages' picture and writes it as a 24-bit .bmp: a document cut into three
numbered pieces that drop into a stack of segments, on a blue evening gradient.

Usage: make_wizard_picture.py [OUT.bmp]   (OUT defaults to wizard.bmp)
"""
import struct
import sys

# The size of the pages' placeholder (80 x 160 dialog units) at 96 dpi, so the picture is
# painted unscaled there and in proportion elsewhere.
W, H = 140, 260

DOC = (250, 250, 245)
EDGE = (40, 50, 90)
PIECES = [(230, 90, 70), (240, 190, 60), (90, 170, 90)]
TEXT = (150, 160, 185)


def background(x, y):
    t = y / (H - 1)
    return (int(30 + 40 * t), int(60 + 70 * t), int(140 + 80 * t))


def in_rect(x, y, left, top, right, bottom):
    return left <= x <= right and top <= y <= bottom


def on_edge(x, y, left, top, right, bottom):
    return in_rect(x, y, left, top, right, bottom) and (x in (left, right) or y in (top, bottom))


# A 3x5 pixel font for the digits on the pieces.
DIGITS = {
    1: ["010", "110", "010", "010", "111"],
    2: ["111", "001", "111", "100", "111"],
    3: ["111", "001", "111", "001", "111"],
}


def digit_at(x, y, n, left, top, scale=2):
    dx, dy = (x - left) // scale, (y - top) // scale
    if 0 <= dx < 3 and 0 <= dy < 5 and x >= left and y >= top:
        return DIGITS[n][dy][dx] == "1"
    return False


def pixel(x, y):
    # The document, with a folded corner and grey lines of text.
    left, top, right, bottom = 30, 18, 110, 120
    if in_rect(x, y, left, top, right, bottom):
        fold = right - 15
        if x > fold and y < top + (x - fold):
            return background(x, y)
        if x > fold and y == top + (x - fold) or x == fold and y <= top + 15 or y == top + 15 and x >= fold:
            return EDGE
        if on_edge(x, y, left, top, right, bottom):
            return EDGE
        if left + 8 <= x <= right - 10 and (y - top - 24) % 10 == 0 and top + 24 <= y <= bottom - 12:
            return TEXT
        return DOC
    # The cut: a dashed line of scissors' work across the gap.
    if 132 <= y <= 134 and 15 <= x <= 125 and (x // 6) % 2 == 0:
        return (235, 235, 235)
    # Three pieces, numbered, stacked with a small offset.
    for i, colour in enumerate(PIECES):
        pl, pt = 22 + i * 12, 148 + i * 36
        pr, pb = pl + 80, pt + 30
        if in_rect(x, y, pl, pt, pr, pb):
            if on_edge(x, y, pl, pt, pr, pb):
                return EDGE
            if digit_at(x, y, i + 1, pl + 6, pt + 6, 3):
                return (255, 255, 255)
            return colour
    return background(x, y)


def write_bmp(path):
    row = (W * 3 + 3) & ~3
    data = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up rows
        line = bytearray()
        for x in range(W):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - W * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    write_bmp(sys.argv[1] if len(sys.argv) > 1 else "wizard.bmp")
