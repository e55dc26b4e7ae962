#!/usr/bin/python3
"""Draws the mailer's icon (an envelope) and writes korvo.ico: 32x32 and 16x16, 32-bit."""
import struct
import sys


def pixel(x, y, n):
    # Envelope: white body with a blue border and a blue flap "V", on transparency.
    m = n // 8
    top, bottom, left, right = m + n // 8, n - m - n // 8, m, n - 1 - m
    if not (left <= x <= right and top <= y <= bottom):
        return (0, 0, 0, 0)
    if x in (left, right) or y in (top, bottom):
        return (40, 70, 160, 255)
    mid = (left + right) / 2
    flap = top + (abs(x - mid) * -1 + mid - left) * (bottom - top) / (right - left) * 1.1
    if abs(y - flap) < 1.0:
        return (40, 70, 160, 255)
    return (250, 250, 240, 255)


def image(n):
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


def main(path):
    sizes = [32, 16]
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "korvo.ico")
