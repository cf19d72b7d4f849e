#!/usr/bin/env python3
"""The page's home-screen icons, drawn by the game's own icon script at the sizes browsers
ask for: 192 and 512 pixels for the manifest, and 180 on the page's colour, since a home
screen that wants that size fills what is transparent with black.
Usage: page_icons.py SCRIPTS_FOLDER OUTPUT_FOLDER
"""
import os
import sys

sys.path.insert(0, sys.argv[1])
import make_icon  # noqa: E402

PAGE = (0x4B, 0x5D, 0x67)


def on_page(rows):
    out = []
    for row in rows:
        line = bytearray()
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            line += bytes(round((c * a + p * (255 - a)) / 255) for c, p in zip((r, g, b), PAGE))
            line.append(255)
        out.append(bytes(line))
    return out


def main():
    folder = sys.argv[2]
    for size in (192, 512):
        with open(os.path.join(folder, "tavorin-%d.png" % size), "wb") as f:
            f.write(make_icon.png(make_icon.raster(size)))
    with open(os.path.join(folder, "tavorin-180.png"), "wb") as f:
        f.write(make_icon.png(on_page(make_icon.raster(180))))


if __name__ == "__main__":
    main()
