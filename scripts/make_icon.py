#!/usr/bin/env python3
"""Draws the game's icon: one domino tile, a red one over a black three, leaning a little.

Writes tavorin.svg, tavorin-SIZE.png for the hicolor sizes and tavorin.ico (16 to 256 pixels)
for the Windows executable. Standard library only; the same output on every run.
Usage: scripts/make_icon.py [folder]   (default packaging/icons)
"""
import math
import os
import struct
import sys
import zlib

PNG_SIZES = (16, 32, 48, 64, 128, 256)
ICO_SIZES = (16, 24, 32, 48, 64, 256)

# The drawing, in units of a 256-unit square, origin at its centre, y down.
CANVAS = 256
LEAN_DEGREES = 20  # clockwise
TILE = (56, 106, 18)  # outer half width, half height, corner radius
FACE_INSET = 6  # the dark rim around the white face
DIVIDER = (36, 2.5)  # half length, half thickness
ONE = ((0, -50),)
THREE = ((28, 25), (0, 50), (-28, 75))
RADII = (20, 13)  # the one, the three

RIM = (43, 43, 43)
FACE = (255, 255, 255)
RED = (214, 16, 16)
BLACK = (17, 17, 17)


def hex_colour(rgb):
    return "#%02x%02x%02x" % rgb


def svg():
    half_w, half_h, radius = TILE
    face_w, face_h = half_w - FACE_INSET, half_h - FACE_INSET
    pips = [(x, y, RADII[0], RED) for x, y in ONE] + [(x, y, RADII[1], BLACK) for x, y in THREE]
    lines = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
        % ((CANVAS,) * 4),
        '  <g transform="translate(%d %d) rotate(%d)">' % (CANVAS // 2, CANVAS // 2, LEAN_DEGREES),
        '    <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>'
        % (-half_w, -half_h, 2 * half_w, 2 * half_h, radius, hex_colour(RIM)),
        '    <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>'
        % (-face_w, -face_h, 2 * face_w, 2 * face_h, radius - FACE_INSET, hex_colour(FACE)),
        '    <line x1="%g" y1="0" x2="%g" y2="0" stroke="%s" stroke-width="%g" '
        'stroke-linecap="round"/>' % (-DIVIDER[0], DIVIDER[0], hex_colour(RIM), 2 * DIVIDER[1]),
    ]
    for x, y, r, colour in pips:
        lines.append('    <circle cx="%g" cy="%g" r="%g" fill="%s"/>' % (x, y, r, hex_colour(colour)))
    lines += ["  </g>", "</svg>", ""]
    return "\n".join(lines)


def rounded_box(px, py, half_w, half_h, radius):
    """Signed distance from a rounded rectangle centred on the origin."""
    qx, qy = abs(px) - (half_w - radius), abs(py) - (half_h - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def raster(size):
    """RGBA rows of the icon at one size. Each shape is antialiased from its signed distance;
    small sizes get a rim and divider of at least one pixel so the tile keeps its edge."""
    unit = CANVAS / size  # drawing units per pixel
    half_w, half_h, radius = TILE
    inset = max(FACE_INSET, unit)
    divider = max(DIVIDER[1], unit / 2)
    lean = math.radians(LEAN_DEGREES)
    cos, sin = math.cos(lean), math.sin(lean)

    def cover(distance):
        return min(max(0.5 - distance / unit, 0.0), 1.0)

    rows = []
    for row in range(size):
        line = bytearray()
        for col in range(size):
            # The pixel's centre in the tile's own frame: undo the lean.
            cx = (col + 0.5) * unit - CANVAS / 2
            cy = (row + 0.5) * unit - CANVAS / 2
            x, y = cos * cx + sin * cy, -sin * cx + cos * cy
            layers = [
                (RIM, cover(rounded_box(x, y, half_w, half_h, radius))),
                (FACE, cover(rounded_box(x, y, half_w - inset, half_h - inset, radius - inset))),
                (RIM, cover(math.hypot(max(abs(x) - DIVIDER[0], 0.0), y) - divider)),
            ]
            layers += [(RED, cover(math.hypot(x - px, y - py) - RADII[0])) for px, py in ONE]
            layers += [(BLACK, cover(math.hypot(x - px, y - py) - RADII[1])) for px, py in THREE]
            r = g = b = a = 0.0  # premultiplied
            for (lr, lg, lb), alpha in layers:
                r, g, b = (lr * alpha + r * (1 - alpha), lg * alpha + g * (1 - alpha),
                           lb * alpha + b * (1 - alpha))
                a = alpha + a * (1 - alpha)
            if a > 0:
                line += bytes((round(r / a), round(g / a), round(b / a), round(a * 255)))
            else:
                line += bytes(4)
        rows.append(bytes(line))
    return rows


def png(rows):
    """An 8-bit RGBA PNG without filtering or ancillary chunks."""
    size = len(rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    body = zlib.compress(b"".join(b"\0" + row for row in rows), 9)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", body) + chunk(b"IEND", b"")


def dib(rows):
    """An icon entry as a bitmap: 32-bit BGRA bottom-up, then the 1-bit mask (all drawn,
    alpha decides)."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            pixels += bytes((b, g, r, a))
    return info + bytes(pixels) + bytes(mask_stride * size)


def ico(images):
    """Bitmaps up to 64 pixels for old readers, PNG at 256 as Windows expects it."""
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for size, rows in images:
        blob = png(rows) if size >= 256 else dib(rows)
        side = 0 if size >= 256 else size  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + entries + blobs


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "packaging/icons"
    os.makedirs(folder, exist_ok=True)
    rasters = {size: raster(size) for size in sorted(set(PNG_SIZES) | set(ICO_SIZES))}
    with open(os.path.join(folder, "tavorin.svg"), "w") as f:
        f.write(svg())
    for size in PNG_SIZES:
        with open(os.path.join(folder, "tavorin-%d.png" % size), "wb") as f:
            f.write(png(rasters[size]))
    with open(os.path.join(folder, "tavorin.ico"), "wb") as f:
        f.write(ico([(size, rasters[size]) for size in ICO_SIZES]))


if __name__ == "__main__":
    main()
