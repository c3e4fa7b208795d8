#!/usr/bin/env python3
"""Writes src/resources/pendra.ico: the program icon, one 32x32 image with a
256-colour palette.  The picture is a small oscilloscope screen: a dark
bezel, a green grid and a bright yellow trace with a red trigger mark.

Standard library only.  Run from anywhere:  python3 scripts/make_icon.py
"""
import math
import os
import struct

SIZE = 32

# Palette index -> (r, g, b).  Unused entries stay black.
PALETTE = {
    0: (0, 0, 0),          # transparent area (masked out)
    1: (64, 64, 72),       # bezel
    2: (112, 112, 124),    # bezel highlight
    3: (8, 32, 16),        # screen
    4: (24, 88, 40),       # grid
    5: (250, 220, 40),     # trace
    6: (255, 250, 170),    # trace core
    7: (220, 40, 40),      # trigger mark
    8: (180, 180, 190),    # knobs
}


def draw():
    """Returns rows top to bottom of palette indices, and the transparency."""
    pixels = [[0] * SIZE for _ in range(SIZE)]
    opaque = [[False] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            pixels[y][x] = colour
            opaque[y][x] = True

    # Bezel with rounded corners (rows 2..29), screen inside it.
    for y in range(2, 30):
        for x in range(1, 31):
            corner = (x in (1, 30)) and (y in (2, 29))
            if not corner:
                put(x, y, 2 if y == 2 or x == 1 else 1)
    for y in range(4, 24):
        for x in range(3, 29):
            put(x, y, 3)
    # Grid: every fifth column and row of the screen, dotted.
    for y in range(4, 24):
        for x in range(3, 29):
            if ((x - 3) % 5 == 0 or (y - 4) % 5 == 0) and (x + y) % 2 == 0:
                put(x, y, 4)
    # Trace: one and a half periods of a sine, drawn two pixels thick.
    previous = None
    for x in range(3, 29):
        phase = (x - 3) / 25.0 * 3.0 * math.pi
        y = int(round(13.5 - 7.0 * math.sin(phase)))
        low, high = (y, y) if previous is None else (min(y, previous), max(y, previous))
        for yy in range(low, high + 1):
            put(x, yy, 6)
            if yy + 1 < 24:
                put(x, yy + 1, 5)
        previous = y
    # Trigger mark on the left edge of the screen.
    for y in range(12, 16):
        put(3, y, 7)
    put(4, 13, 7)
    put(4, 14, 7)
    # Two knobs under the screen.
    for cx in (8, 14):
        for y in range(25, 28):
            for x in range(cx - 1, cx + 2):
                put(x, y, 8)
    for x in range(19, 28):
        put(x, 26, 4)
    return pixels, opaque


def icon_bytes():
    pixels, opaque = draw()
    palette = b"".join(
        struct.pack("<BBBB", *reversed(PALETTE.get(i, (0, 0, 0))), 0) for i in range(256))
    # Pixel rows bottom-up, 32 bytes each (already a multiple of 4).
    colour_rows = b"".join(bytes(pixels[y]) for y in reversed(range(SIZE)))
    mask_rows = b""
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            if not opaque[y][x]:
                bits |= 1 << (31 - x)
        mask_rows += struct.pack(">I", bits)  # 4 bytes per row, MSB first
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 256, 0)
    image = header + palette + colour_rows + mask_rows
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = os.path.join(here, "..", "src", "resources", "pendra.ico")
    with open(target, "wb") as out:
        out.write(icon_bytes())
    print(os.path.normpath(target))


if __name__ == "__main__":
    main()
