#!/usr/bin/env python3
"""Draws the game's cursor image: a white arrow with a dark grey outline on pure black.

Pure black is the colour key when the image is loaded, so the background turns transparent.
Usage: scripts/make_arrow_bmp.py [output]   (default assets/arrow.bmp)
"""
import struct
import sys

SIZE = 32
WHITE = (255, 255, 255)
OUTLINE = (64, 64, 64)
BLACK = (0, 0, 0)

# The arrow's outline, tip at the top left, in pixel units (y grows downwards).
ARROW = [(1, 1), (1, 23), (6, 18), (9.5, 27), (14, 25.5), (10.5, 16.5), (17.5, 16.5)]


def inside(x, y):
    """Even-odd test of the point against ARROW."""
    hit = False
    n = len(ARROW)
    for i in range(n):
        (x1, y1), (x2, y2) = ARROW[i], ARROW[(i + 1) % n]
        if (y1 > y) != (y2 > y):
            if x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                hit = not hit
    return hit


def pixels():
    fill = [[inside(x + 0.5, y + 0.5) for x in range(SIZE)] for y in range(SIZE)]

    def filled(x, y):
        return 0 <= x < SIZE and 0 <= y < SIZE and fill[y][x]

    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            if not fill[y][x]:
                row.append(BLACK)
            elif all(filled(x + dx, y + dy) for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1))):
                row.append(WHITE)
            else:
                row.append(OUTLINE)
        rows.append(row)
    return rows


def bmp(rows):
    """A 24-bit uncompressed BMP; rows are stored bottom-up, blue first, padded to 4 bytes."""
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        body += line + b"\0" * (stride - len(line))
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + bytes(body)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "assets/arrow.bmp"
    with open(out, "wb") as f:
        f.write(bmp(pixels()))
