#!/usr/bin/env python3
"""The game's icon: a fir tree with snow on its branches, red and golden
baubles and a star on top, on a transparent background.

Written as PNG files for the desktop's icon theme, one per size, and as a
32-bit BMP with alpha that the game sets as its window's icon. Standard
library only; the output is byte-for-byte the same on every run.

Usage: icon.py ICON_THEME_DIR WINDOW_ICON_BMP
  writes ICON_THEME_DIR/<N>x<N>/apps/christmas-pegs.png for every size.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
WINDOW_ICON_SIZE = 64

GREEN_DARK = (0.02, 0.24, 0.08)
GREEN_LIGHT = (0.16, 0.58, 0.20)
SNOW = (0.96, 0.98, 1.0)
TRUNK = (0.45, 0.27, 0.12)
GOLD = (1.0, 0.80, 0.18)
RED = (0.86, 0.08, 0.10)

# The tiers of branches, top to bottom: apex height, bottom height and half
# width at the bottom, in picture units (x right, y down, 0 to 1).
TIERS = ((0.15, 0.40, 0.19), (0.29, 0.61, 0.29), (0.45, 0.84, 0.40))
# Baubles: centre, radius, colour.
BAUBLES = (((0.43, 0.34), 0.032, RED), ((0.58, 0.52), 0.036, GOLD), ((0.37, 0.57), 0.036, RED),
           ((0.66, 0.75), 0.040, RED), ((0.45, 0.76), 0.040, GOLD))
STAR_CENTRE = (0.5, 0.12)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def over(below, colour, alpha):
    """Puts `colour` with coverage `alpha` over the premultiplied RGBA `below`."""
    k = 1.0 - alpha
    return (colour[0] * alpha + below[0] * k, colour[1] * alpha + below[1] * k,
            colour[2] * alpha + below[2] * k, alpha + below[3] * k)


def tier_bottom(x, bottom, half):
    """The lower edge of a tier hangs a little lower in the middle."""
    t = (x - 0.5) / half
    return bottom - 0.035 * t * t


def in_tier(x, y, apex, bottom, half):
    if y < apex:
        return False
    width = half * (y - apex) / (bottom - apex)
    return abs(x - 0.5) <= width and y <= tier_bottom(x, bottom, half)


def in_star(x, y):
    dx = x - STAR_CENTRE[0]
    dy = y - STAR_CENTRE[1]
    r = math.hypot(dx, dy)
    if r > 0.095:
        return False
    angle = math.atan2(dx, -dy)  # 0 points up
    # Five points: the radius runs from 0.095 at a point to 0.04 between two.
    phase = (angle / (2 * math.pi / 5)) % 1.0
    t = abs(phase - 0.5) * 2.0  # 1 at a point, 0 between points
    return r <= 0.04 + (0.095 - 0.04) * t


def sample(x, y):
    """Premultiplied RGBA of the picture at point (x, y)."""
    c = (0.0, 0.0, 0.0, 0.0)
    if 0.445 <= x <= 0.555 and 0.78 <= y <= 0.95:
        c = over(c, mix(TRUNK, (0.25, 0.14, 0.06), (x - 0.445) / 0.11), 1.0)
    for apex, bottom, half in reversed(TIERS):
        if not in_tier(x, y, apex, bottom, half):
            continue
        # Lit from the upper left: lighter on the left flank, darker low down
        # on the right.
        light = clamp01(0.75 - (x - 0.5) * 1.6 - (y - apex) / (bottom - apex) * 0.35)
        colour = mix(GREEN_DARK, GREEN_LIGHT, light)
        # Snow lies along the lower edge, thicker in little heaps.
        edge = tier_bottom(x, bottom, half)
        depth = 0.030 + 0.012 * math.cos((x - 0.5) * 70.0)
        if edge - y < depth:
            colour = mix(SNOW, (0.72, 0.80, 0.92), clamp01((x - 0.5) / half + 0.3))
        c = over(c, colour, 1.0)
    for (bx, by), radius, colour in BAUBLES:
        d = math.hypot(x - bx, y - by)
        if d <= radius:
            shine = math.exp(-(math.hypot(x - bx + radius * 0.35, y - by + radius * 0.35) / (radius * 0.45)) ** 2)
            c = over(c, mix(mix(colour, (0, 0, 0), 0.25 * d / radius), (1, 1, 1), shine * 0.8), 1.0)
    if in_star(x, y):
        c = over(c, mix(GOLD, (1.0, 0.97, 0.75), clamp01(0.6 - (y - STAR_CENTRE[1]) * 8)), 1.0)
    return c


def render(size, n=4):
    """Rows of straight (not premultiplied) RGBA bytes, top row first; every
    pixel averages n x n samples."""
    rows = []
    inv = 1.0 / (n * n)
    offsets = [(k + 0.5) / n for k in range(n)]
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0.0
            for oy in offsets:
                for ox in offsets:
                    s = sample((px + ox) / size, (py + oy) / size)
                    r += s[0]
                    g += s[1]
                    b += s[2]
                    a += s[3]
            a *= inv
            if a <= 0.0:
                row += b"\0\0\0\0"
                continue
            k = inv / a
            row += bytes(to_byte(v) for v in (r * k, g * k, b * k, a))
        rows.append(bytes(row))
    return rows


def to_byte(v):
    v = int(round(v * 255.0))
    return 0 if v < 0 else 255 if v > 255 else v


def write_png(path, size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    pixels = zlib.compress(b"".join(b"\0" + row for row in rows), 9)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", pixels) + chunk(b"IEND", b""))


def write_bmp(path, size, rows):
    """32 bpp with a BITMAPV4HEADER whose bit fields name the alpha channel;
    bottom row first, pixels stored blue, green, red, alpha."""
    image_size = size * size * 4
    offset = 14 + 108
    header = struct.pack("<2sIHHI", b"BM", offset + image_size, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 108, size, size, 1, 32, 3, image_size, 2835, 2835, 0, 0)
    masks = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    colour_space = struct.pack("<I", 0x73524742) + b"\0" * 36 + b"\0" * 12  # sRGB, no end points, no gamma
    pixels = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            pixels += bytes((row[i + 2], row[i + 1], row[i], row[i + 3]))
    with open(path, "wb") as f:
        f.write(header + info + masks + colour_space + bytes(pixels))


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    theme, window_icon = sys.argv[1], sys.argv[2]
    for size in SIZES:
        folder = os.path.join(theme, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "christmas-pegs.png")
        write_png(path, size, render(size))
        print("icon: wrote", path)
    write_bmp(window_icon, WINDOW_ICON_SIZE, render(WINDOW_ICON_SIZE))
    print("icon: wrote", window_icon)
    return 0


if __name__ == "__main__":
    sys.exit(main())
