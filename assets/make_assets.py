#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws Velmora's icon and start picture into this folder.

velmora.ico   32 x 32, 16 colours: a solid red disc 20 pixels across on a transparent ground
velmora.png   the same disc as a PNG, pixel for pixel
velmora.svg   the same disc, scalable, for the desktop's icon theme
icons/NxN/velmora.png   the disc at 16, 24, 48, 64, 128 and 256 pixels, with smooth edges
avvio.jpg     the start window's 400 x 225 picture (drawn with ImageMagick's convert)
avvio@2x.jpg  the same picture drawn at twice the size, for high-density screens

Every icon is drawn from one description of the disc (DISC below), so they cannot disagree.

The generated files are committed; run this again only to change them.
"""
import struct
import subprocess
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
SIZE = 32
# The icon: a red disc in the middle of a 32-unit square, 20 units across.
DISC = {"centre": 16.0, "radius": 10.0, "colour": (255, 0, 0)}
THEME_SIZES = (16, 24, 48, 64, 128, 256)


def in_disc(x, y, size=SIZE):
    """Whether the point (x, y), in a square of `size` pixels, lies in the disc."""
    scale = size / SIZE
    dx, dy = x / scale - DISC["centre"], y / scale - DISC["centre"]
    return dx * dx + dy * dy <= DISC["radius"] ** 2


def coverage(x, y, size):
    """How much of pixel (x, y) the disc covers, from 8 x 8 samples inside it."""
    samples = [(x + (i + 0.5) / 8, y + (j + 0.5) / 8) for i in range(8) for j in range(8)]
    return sum(in_disc(sx, sy, size) for sx, sy in samples) / len(samples)


def write_ico(path):
    # The 16 colours of the standard palette; index 9 is pure red.
    palette = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
               (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    red = 9
    rows = []   # colour rows, bottom-up, two pixels a byte
    masks = []  # transparency rows, bottom-up, one bit a pixel (1 = transparent)
    for y in reversed(range(SIZE)):
        pixels = [red if in_disc(x + 0.5, y + 0.5) else 0 for x in range(SIZE)]
        rows.append(bytes((pixels[x] << 4) | pixels[x + 1] for x in range(0, SIZE, 2)))
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (0 if in_disc(x + 0.5, y + 0.5) else 1)
        masks.append(bits.to_bytes(SIZE // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + colours + b"".join(rows) + b"".join(masks)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    path.write_bytes(directory + image)


def write_png(path, size=SIZE, smooth=False):
    red = bytes(DISC["colour"])

    def alpha(x, y):
        if smooth:
            return round(255 * coverage(x, y, size))
        return 255 if in_disc(x + 0.5, y + 0.5, size) else 0

    raw = b"".join(
        b"\0" + b"".join(red + bytes((alpha(x, y),)) if alpha(x, y) else bytes(4)
                         for x in range(size))
        for y in range(size))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    path.write_bytes(b"\x89PNG\r\n\x1a\n"
                     + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
                     + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_svg(path):
    r, g, b = DISC["colour"]
    path.write_text(
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
        f'viewBox="0 0 {SIZE} {SIZE}">\n'
        f'  <circle cx="{DISC["centre"]:g}" cy="{DISC["centre"]:g}" r="{DISC["radius"]:g}" '
        f'fill="#{r:02x}{g:02x}{b:02x}"/>\n'
        '</svg>\n')


def write_picture(path, scale=1):
    """The start picture, 400 x 225 times `scale`, every coordinate scaled alike."""
    def s(value):
        return f"{value * scale:g}"

    draw = []
    # A six-row pyramid of light cyan bricks, as in the game.
    for row in range(6):
        for column in range(12 - row):
            x = 150 + row * 10 + column * 20
            y = 60 + row * 12
            draw += ["-fill", "#c0ffff", "-stroke", "#203040",
                     "-draw", f"roundrectangle {s(x)},{s(y)} {s(x + 17)},{s(y + 8)} {s(2)},{s(2)}"]
    command = ["convert", "-size", f"{400 * scale}x{225 * scale}", "gradient:#10204a-#4a1040",
               "-strokewidth", s(1),
               "-fill", "#c0ffc0", "-stroke", "#203040",
               "-draw", f"rectangle {s(230)},{s(196)} {s(280)},{s(204)}",
               "-fill", "#ff8080", "-draw", f"circle {s(262)},{s(150)} {s(262)},{s(157)}",
               *draw,
               "-stroke", "none", "-fill", "#ffffff", "-font", "DejaVu-Sans-Bold",
               "-pointsize", s(34), "-gravity", "southwest", "-annotate", f"+{s(20)}+{s(16)}",
               "VELMORA", "-quality", "90", "-strip", str(path)]
    subprocess.run(command, check=True)


if __name__ == "__main__":
    write_ico(HERE / "velmora.ico")
    write_png(HERE / "velmora.png")
    write_svg(HERE / "velmora.svg")
    for size in THEME_SIZES:
        folder = HERE / "icons" / f"{size}x{size}"
        folder.mkdir(parents=True, exist_ok=True)
        write_png(folder / "velmora.png", size, smooth=True)
    write_picture(HERE / "avvio.jpg")
    write_picture(HERE / "avvio@2x.jpg", scale=2)
