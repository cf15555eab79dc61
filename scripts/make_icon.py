#!/usr/bin/env python3
"""Draws the program icon of install.exe (a floppy disk over the setup's blue gradient) and
writes it as a Windows icon with 32x32 and 16x16 images, 32 bits per pixel with a mask.
Usage: make_icon.py OUT.ico"""
import struct
import sys


def pixel(x, y, n):
    """The colour (r, g, b, a) of pixel x, y of an n x n image, drawn on a 32-unit grid."""
    u, v = x * 32.0 / n + 16.0 / n, y * 32.0 / n + 16.0 / n
    if not (2 <= u < 30 and 2 <= v < 30):
        return (0, 0, 0, 0)
    if u >= 27 and v < 5:  # the cut corner of the disk
        return (0, 0, 0, 0)
    # The disk's body: the setup's gradient, blue at the top to black at the bottom.
    t = (v - 2) / 28.0
    body = (int(24 * (1 - t)), int(48 * (1 - t)), int(40 + 200 * (1 - t)), 255)
    if u < 3 or u >= 29 or v < 3 or v >= 29:
        return (10, 10, 30, 255)  # outline
    if 9 <= u < 23 and 3 <= v < 11:  # the shutter, with its window
        if 18 <= u < 21 and 5 <= v < 10:
            return (40, 40, 60, 255)
        return (200, 204, 212, 255)
    if 6 <= u < 26 and 15 <= v < 28:  # the label, with a "T" on it
        if (9 <= u < 23 and 17 <= v < 20) or (14 <= u < 18 and 17 <= v < 26):
            return (200, 0, 0, 255)
        return (250, 250, 244, 255)
    return body


def image(n):
    rows, mask = [], []
    for y in reversed(range(n)):  # bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a) for r, g, b, a in (pixel(x, y, n) for x in range(n))))
        bits = 0
        for x in range(n):
            if pixel(x, y, n)[3] == 0:
                bits |= 1 << (31 - x)
        mask.append(struct.pack(">I", bits))  # rows of 32 bits
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + b"".join(mask)


def main():
    images = [image(32), image(16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
