#!/usr/bin/python3
"""Draws one of the suite's program icons and writes it as a .ico: 32x32 and 16x16, 32-bit with alpha.

Usage: make_icon.py korvo|remblo [OUT.ico]   (OUT defaults to NAME.ico)
"""
import struct
import sys

BORDER_BLUE = (40, 70, 160, 255)
BORDER_GREY = (60, 60, 60, 255)


def envelope(x, y, n):
    # The mailer: white body with a blue border and a blue flap "V", on transparency.
    m = n // 8
    top, bottom, left, right = m + n // 8, n - m - n // 8, m, n - 1 - m
    if not (left <= x <= right and top <= y <= bottom):
        return (0, 0, 0, 0)
    if x in (left, right) or y in (top, bottom):
        return BORDER_BLUE
    mid = (left + right) / 2
    flap = top + (abs(x - mid) * -1 + mid - left) * (bottom - top) / (right - left) * 1.1
    if abs(y - flap) < 1.0:
        return BORDER_BLUE
    return (250, 250, 240, 255)


def closing_block(x, y, n):
    # The rejoiner: a block made of three coloured pieces side by side, outlined in dark grey,
    # with a light gap between the pieces that narrows to nothing at the bottom (they close up).
    m = max(1, n // 10)
    left, right, top, bottom = m, n - 1 - m, m + n // 8, n - 1 - m - n // 8
    if not (left <= x <= right and top <= y <= bottom):
        return (0, 0, 0, 0)
    if x in (left, right) or y in (top, bottom):
        return BORDER_GREY
    width = right - left
    seam1, seam2 = left + width / 3, left + 2 * width / 3
    gap = max(0.0, (bottom - y) / (bottom - top) - 0.35) * n / 12
    for seam in (seam1, seam2):
        if abs(x - seam) < gap:
            return (255, 255, 255, 255)
        if abs(x - seam) < gap + 1 and gap > 0:
            return BORDER_GREY
    colours = [(200, 70, 50), (230, 170, 40), (60, 150, 70)]
    piece = 0 if x < seam1 else 1 if x < seam2 else 2
    r, g, b = colours[piece]
    return (r, g, b, 255)


def stacked_pieces(x, y, n):
    # The main program: a file cut into three numbered pieces, stepped down and to the right.
    step = max(2, n // 8)
    w, h = n - 2 * step - 2, n // 3
    colours = [(60, 110, 190), (90, 150, 210), (130, 185, 230)]
    for k in (2, 1, 0):
        left, top = 1 + k * step, 1 + k * (n - h - 2) // 2
        if left <= x < left + w and top <= y < top + h:
            if x in (left, left + w - 1) or y in (top, top + h - 1):
                return BORDER_GREY
            r, g, b = colours[k]
            return (r, g, b, 255)
    return (0, 0, 0, 0)


def sizes_ruler(x, y, n):
    # "Select Profile" on the main form: a yellow ruler with dark tick marks.
    m = max(1, n // 10)
    top, bottom, left, right = n // 3, n - n // 3, m, n - 1 - m
    if not (left <= x <= right and top <= y <= bottom):
        return (0, 0, 0, 0)
    if x in (left, right) or y in (top, bottom):
        return BORDER_GREY
    step = max(2, n // 8)
    tick = (bottom - top) // 2 if (x - left) % (step * 2) == 0 else (bottom - top) // 3
    if (x - left) % step == 0 and y <= top + tick:
        return BORDER_GREY
    return (240, 200, 60, 255)


def pick_files(x, y, n):
    # "Select the file(s) you wish to split.": two sheets of paper, one over the other.
    m = max(1, n // 8)
    for dx, fill in ((n // 4, (220, 220, 220, 255)), (0, (255, 255, 255, 255))):
        left, right, top, bottom = m + dx, n // 2 + m + dx, m + (n // 4 - dx), n - 1 - m - dx
        if left <= x <= right and top <= y <= bottom:
            if x in (left, right) or y in (top, bottom):
                return BORDER_BLUE
            if dx == 0 and (y - top) % max(2, n // 8) == 0 and left + 2 <= x <= right - 2:
                return (120, 140, 200, 255)
            return fill
    return (0, 0, 0, 0)


def label_tag(x, y, n):
    # "Labeling and storage of the Zembra file.": a green tag with its hole.
    m = max(1, n // 10)
    left, right, top, bottom = m, n - 1 - m, n // 4, n - 1 - n // 4
    if not (left <= x <= right and top <= y <= bottom):
        return (0, 0, 0, 0)
    point = left + (bottom - top) // 2
    mid = (top + bottom) / 2
    if x < point and abs(y - mid) > (x - left) + 0.5:
        return (0, 0, 0, 0)
    hole = (x - (point + 1)) ** 2 + (y - mid) ** 2
    if hole <= max(1, n // 16) ** 2:
        return (255, 255, 255, 255)
    if x == right or y in (top, bottom) or (x < point and abs(abs(y - mid) - (x - left)) < 1):
        return BORDER_GREY
    return (80, 170, 90, 255)


DRAWINGS = {"korvo": envelope, "remblo": closing_block, "view_profile": sizes_ruler,
            "view_files": pick_files, "view_label": label_tag, "zembra": stacked_pieces}


def image(pixel, n):
    rows = []
    for y in range(n - 1, -1, -1):  # bottom-up rows
        row = b""
        for x in range(n):
            r, g, b, a = pixel(x, y, n)
            row += struct.pack("BBBB", b, g, r, a)
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((n + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * n)
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def write_icon(pixel, path):
    sizes = [32, 16]
    images = [image(pixel, n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def main(argv):
    if len(argv) not in (2, 3) or argv[1] not in DRAWINGS:
        sys.exit("usage: make_icon.py %s [OUT.ico]" % "|".join(sorted(DRAWINGS)))
    name = argv[1]
    write_icon(DRAWINGS[name], argv[2] if len(argv) == 3 else name + ".ico")


if __name__ == "__main__":
    main(sys.argv)
