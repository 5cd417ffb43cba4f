#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws Velmora's icon and start picture into this folder.

velmora.ico  32 x 32, 16 colours: a solid red disc 20 pixels across on a transparent ground
velmora.png  the same disc as a PNG, for the desktop entry
avvio.jpg    the start window's 400 x 225 picture (drawn with ImageMagick's convert)

The generated files are committed; run this again only to change them.
"""
import struct
import subprocess
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
SIZE = 32
RADIUS = 10.0


def in_disc(x, y):
    dx, dy = x + 0.5 - SIZE / 2, y + 0.5 - SIZE / 2
    return dx * dx + dy * dy <= RADIUS * RADIUS


def write_ico(path):
    # The 16 colours of the standard palette; index 9 is pure red.
    palette = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
               (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    red = 9
    rows = []   # colour rows, bottom-up, two pixels a byte
    masks = []  # transparency rows, bottom-up, one bit a pixel (1 = transparent)
    for y in reversed(range(SIZE)):
        pixels = [red if in_disc(x, y) else 0 for x in range(SIZE)]
        rows.append(bytes((pixels[x] << 4) | pixels[x + 1] for x in range(0, SIZE, 2)))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (0 if in_disc(x, y) else 1)
        masks.append(bits.to_bytes(SIZE // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + colours + b"".join(rows) + b"".join(masks)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    path.write_bytes(directory + image)


def write_png(path):
    raw = b"".join(
        b"\0" + b"".join(bytes((255, 0, 0, 255)) if in_disc(x, y) else bytes(4)
                         for x in range(SIZE))
        for y in range(SIZE))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    path.write_bytes(b"\x89PNG\r\n\x1a\n"
                     + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
                     + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_picture(path):
    draw = []
    # A six-row pyramid of light cyan bricks, as in the game.
    for row in range(6):
        for column in range(12 - row):
            x = 150 + row * 10 + column * 20
            y = 60 + row * 12
            draw += ["-fill", "#c0ffff", "-stroke", "#203040",
                     "-draw", f"roundrectangle {x},{y} {x + 17},{y + 8} 2,2"]
    command = ["convert", "-size", "400x225", "gradient:#10204a-#4a1040",
               "-fill", "#c0ffc0", "-stroke", "#203040", "-draw", "rectangle 230,196 280,204",
               "-fill", "#ff8080", "-draw", "circle 262,150 262,157",
               *draw,
               "-stroke", "none", "-fill", "#ffffff", "-font", "DejaVu-Sans-Bold",
               "-pointsize", "34", "-gravity", "southwest", "-annotate", "+20+16", "VELMORA",
               "-quality", "90", str(path)]
    subprocess.run(command, check=True)


if __name__ == "__main__":
    write_ico(HERE / "velmora.ico")
    write_png(HERE / "velmora.png")
    write_picture(HERE / "avvio.jpg")
