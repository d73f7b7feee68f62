#!/usr/bin/env python3
"""Draws the class icon: a blue gradient square with a white arrow into a tray.

32 x 32 pixels, 16 colours (the standard VGA palette). Writes setup.ico.
"""
import struct
import sys

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, BLUE, WHITE, YELLOW = 0, 4, 8, 12, 15, 11


def pixel(x, y):
    """Colour index of pixel (x, y), y counted from the top; None = transparent."""
    if x < 2 or x > 29 or y < 2 or y > 29:
        return None
    if x in (2, 29) or y in (2, 29):
        return BLACK
    # Arrow shaft and head.
    if 14 <= x <= 17 and 5 <= y <= 15:
        return WHITE
    if 16 <= y <= 21 and abs(x - 15.5) <= 21.5 - y:
        return WHITE
    # Tray.
    if y in (23, 24) and 7 <= x <= 24:
        return YELLOW
    if 19 <= y <= 24 and x in (7, 8, 23, 24):
        return YELLOW
    return BLUE if y < 16 else NAVY


def main(out):
    rows = []
    mask_rows = []
    for y in range(31, -1, -1):  # bottom-up
        nibbles = []
        mask_bits = 0
        for x in range(32):
            c = pixel(x, y)
            nibbles.append(0 if c is None else c)
            if c is None:
                mask_bits |= 1 << (31 - x)
        rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, 32, 2)))
        mask_rows.append(struct.pack(">I", mask_bits))
    xor = b"".join(rows)
    andmask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(xor) + len(andmask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + xor + andmask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    with open(out, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "setup.ico")
