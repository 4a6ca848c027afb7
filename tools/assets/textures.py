#!/usr/bin/env python3
"""Procedural textures for the game, written as 24-bit uncompressed BMP files.

Standard library only. Every random choice comes from a fixed seed, so the
output is byte-for-byte the same on every run.

Usage: textures.py OUTPUT_DIR
"""
import math
import os
import random
import struct
import sys


# --------------------------------------------------------------------------
# Canvas and BMP output
# --------------------------------------------------------------------------

class Canvas:
    """RGB float image, row 0 is the top row of the picture."""

    def __init__(self, size, colour=(0.0, 0.0, 0.0)):
        self.w = size
        self.h = size
        n = size * size
        self.r = [colour[0]] * n
        self.g = [colour[1]] * n
        self.b = [colour[2]] * n

    def blend(self, i, colour, a):
        if a <= 0.0:
            return
        if a >= 1.0:
            self.r[i], self.g[i], self.b[i] = colour
            return
        k = 1.0 - a
        self.r[i] = self.r[i] * k + colour[0] * a
        self.g[i] = self.g[i] * k + colour[1] * a
        self.b[i] = self.b[i] * k + colour[2] * a

    def write_bmp(self, path):
        """24 bpp, BI_RGB, positive height: the first stored row is the
        picture's bottom row, each row padded to a multiple of 4 bytes."""
        row_bytes = (self.w * 3 + 3) & ~3
        pad = b"\0" * (row_bytes - self.w * 3)
        image_size = row_bytes * self.h
        header = struct.pack("<2sIHHI", b"BM", 14 + 40 + image_size, 0, 0, 14 + 40)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0,
                           image_size, 2835, 2835, 0, 0)
        rows = []
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            base = y * self.w
            for x in range(self.w):
                i = base + x
                row += bytes((to_byte(self.b[i]), to_byte(self.g[i]), to_byte(self.r[i])))
            rows.append(bytes(row) + pad)
        with open(path, "wb") as f:
            f.write(header + info + b"".join(rows))


def to_byte(v):
    v = int(round(v * 255.0))
    return 0 if v < 0 else 255 if v > 255 else v


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(c1, c2, t):
    return (c1[0] + (c2[0] - c1[0]) * t,
            c1[1] + (c2[1] - c1[1]) * t,
            c1[2] + (c2[2] - c1[2]) * t)


def scale(c, k):
    return (c[0] * k, c[1] * k, c[2] * k)


# --------------------------------------------------------------------------
# Tileable value noise
# --------------------------------------------------------------------------

class Noise:
    """Value noise on an integer lattice that repeats every (px, py) cells."""

    def __init__(self, seed, px, py):
        rng = random.Random(seed)
        self.px = px
        self.py = py
        self.v = [rng.random() for _ in range(px * py)]

    def at(self, x, y):
        xi = math.floor(x)
        yi = math.floor(y)
        fx = x - xi
        fy = y - yi
        fx = fx * fx * (3.0 - 2.0 * fx)
        fy = fy * fy * (3.0 - 2.0 * fy)
        x0 = xi % self.px
        x1 = (xi + 1) % self.px
        y0 = (yi % self.py) * self.px
        y1 = ((yi + 1) % self.py) * self.px
        v = self.v
        a = v[y0 + x0] + (v[y0 + x1] - v[y0 + x0]) * fx
        b = v[y1 + x0] + (v[y1 + x1] - v[y1 + x0]) * fx
        return a + (b - a) * fy


def fbm(layers, u, v):
    """Sum of noise layers; u, v in 0..1 over the whole (tileable) image."""
    total = 0.0
    weight = 0.0
    amp = 1.0
    for n in layers:
        total += amp * n.at(u * n.px, v * n.py)
        weight += amp
        amp *= 0.5
    return total / weight


def octaves(seed, px, py, count):
    return [Noise(seed + k, px << k, py << k) for k in range(count)]


# --------------------------------------------------------------------------
# Anti-aliased strokes
# --------------------------------------------------------------------------

def stroke(canvas, x0, y0, x1, y1, width, colour0, colour1, wrap=True, alpha=1.0):
    """Line segment with round ends; colour runs from colour0 at (x0, y0)
    to colour1 at (x1, y1). With wrap the stroke continues across the
    edges, so tiled textures stay seamless."""
    half = width * 0.5
    dx = x1 - x0
    dy = y1 - y0
    length2 = dx * dx + dy * dy or 1e-9
    minx = int(math.floor(min(x0, x1) - half - 1))
    maxx = int(math.ceil(max(x0, x1) + half + 1))
    miny = int(math.floor(min(y0, y1) - half - 1))
    maxy = int(math.ceil(max(y0, y1) + half + 1))
    w = canvas.w
    h = canvas.h
    for py in range(miny, maxy + 1):
        if not wrap and (py < 0 or py >= h):
            continue
        row = (py % h) * w
        cy = py + 0.5 - y0
        for px in range(minx, maxx + 1):
            if not wrap and (px < 0 or px >= w):
                continue
            cx = px + 0.5 - x0
            t = (cx * dx + cy * dy) / length2
            t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
            ex = cx - t * dx
            ey = cy - t * dy
            d = math.sqrt(ex * ex + ey * ey)
            a = half + 0.5 - d
            if a <= 0.0:
                continue
            if a > 1.0:
                a = 1.0
            canvas.blend(row + (px % w), mix(colour0, colour1, t), a * alpha)


def supersampled(canvas, shade, n=4):
    """Calls shade(x, y) at n*n points of every pixel (x, y in pixels, y
    down) and averages; shade returns an (r, g, b) colour."""
    w = canvas.w
    offsets = [(k + 0.5) / n for k in range(n)]
    inv = 1.0 / (n * n)
    for py in range(canvas.h):
        for px in range(w):
            r = g = b = 0.0
            for oy in offsets:
                for ox in offsets:
                    c = shade(px + ox, py + oy)
                    r += c[0]
                    g += c[1]
                    b += c[2]
            i = py * w + px
            canvas.r[i] = r * inv
            canvas.g[i] = g * inv
            canvas.b[i] = b * inv


# --------------------------------------------------------------------------
# The six textures
# --------------------------------------------------------------------------

def fir_needles():
    """Fir twigs crowded with needles in greens: each twig hangs down and
    outwards with needles on both sides pointing to its tip. Tiles
    seamlessly around the cone."""
    size = 256
    c = Canvas(size)
    shade = octaves(101, 4, 4, 3)
    for i in range(size * size):
        x = i % size
        y = i // size
        n = fbm(shade, x / size, y / size)
        c.r[i], c.g[i], c.b[i] = mix((0.01, 0.06, 0.02), (0.04, 0.16, 0.06), n)
    rng = random.Random(102)
    for _ in range(210):
        x = rng.uniform(0, size)
        y = rng.uniform(0, size)
        angle = math.radians(rng.uniform(-35, 35))
        length = rng.uniform(40, 75)
        dx, dy = math.sin(angle), math.cos(angle)
        light = rng.random()
        stroke(c, x, y, x + dx * length, y + dy * length, 1.6,
               (0.20, 0.16, 0.07), (0.18, 0.22, 0.08))
        step = 2.6
        k = 0.0
        while k < length:
            bx = x + dx * k
            by = y + dy * k
            grow = 1.0 - 0.45 * (k / length)
            for side in (-1, 1):
                a = angle + side * math.radians(rng.uniform(42, 58))
                nl = rng.uniform(8, 12) * grow
                shadeval = clamp01(light * 0.6 + rng.uniform(0, 0.4))
                base = mix((0.03, 0.18, 0.06), (0.08, 0.32, 0.10), shadeval)
                tip = mix((0.10, 0.36, 0.12), (0.26, 0.62, 0.24), shadeval)
                stroke(c, bx, by, bx + math.sin(a) * nl, by + math.cos(a) * nl,
                       1.5, base, tip)
            k += step
    return c


def bark():
    """Brown bark: vertical ridges broken into long plates by dark furrows,
    with fine vertical grain; tiles seamlessly."""
    size = 256
    c = Canvas(size)
    coarse = octaves(201, 8, 2, 3)
    fine = octaves(211, 128, 8, 2)
    warp = octaves(221, 4, 8, 2)
    plates = octaves(231, 32, 12, 2)
    light = (0.55, 0.39, 0.25)
    dark = (0.10, 0.06, 0.03)
    furrows = 9
    for py in range(size):
        v = py / size
        for px in range(size):
            u = px / size
            n1 = fbm(coarse, u, v)
            n2 = fbm(fine, u, v)
            uw = u + (fbm(warp, u, v) - 0.5) * 0.05
            s = 0.5 + 0.5 * math.cos(2.0 * math.pi * furrows * uw)
            ridge = clamp01((s - 0.25) / 0.6)
            crack = clamp01((fbm(plates, u, v) - 0.30) * 9.0)
            ridge *= 0.35 + 0.65 * crack
            k = 0.18 + 0.6 * ridge * (0.5 + n1) + 0.45 * (n2 - 0.5)
            i = py * size + px
            c.r[i], c.g[i], c.b[i] = mix(dark, light, clamp01(k))
    return c


def snowflake():
    """A white six-armed snowflake with side branches on black."""
    size = 128
    c = Canvas(size)
    cx = cy = size / 2.0
    segs = []
    arm = 58.0

    def add(x0, y0, x1, y1, width):
        segs.append((x0, y0, x1, y1, width))

    for k in range(6):
        a = math.radians(90 + 60 * k)
        ux, uy = math.cos(a), -math.sin(a)
        add(cx, cy, cx + ux * arm, cy + uy * arm, 3.2)
        for pos, length, width in ((0.30, 13.0, 2.4), (0.55, 15.0, 2.2), (0.78, 9.0, 1.8)):
            bx = cx + ux * arm * pos
            by = cy + uy * arm * pos
            for side in (-1, 1):
                b = a + side * math.radians(60)
                add(bx, by, bx + math.cos(b) * length, by - math.sin(b) * length, width)
        # small hexagon ring around the centre
        a2 = math.radians(60 * k)
        a3 = math.radians(60 * (k + 1))
        r = 11.0
        add(cx + r * math.cos(a2), cy - r * math.sin(a2),
            cx + r * math.cos(a3), cy - r * math.sin(a3), 2.2)

    def dist(x, y):
        best = 1e9
        for x0, y0, x1, y1, width in segs:
            dx = x1 - x0
            dy = y1 - y0
            t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)
            t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
            ex = x - x0 - t * dx
            ey = y - y0 - t * dy
            d = math.sqrt(ex * ex + ey * ey) - width * 0.5
            if d < best:
                best = d
        return best

    def shade(x, y):
        ddx = x - cx
        ddy = y - cy
        if ddx * ddx + ddy * ddy > 63.5 * 63.5:
            return (0.0, 0.0, 0.0)
        d = dist(x, y)
        if d <= 0.0:
            return (1.0, 1.0, 1.0)
        glow = 0.35 * math.exp(-d / 2.0)
        return (glow * 0.85, glow * 0.92, glow)

    supersampled(c, shade, 3)
    return c


def bottle():
    """A green glass bottle with a cork and a label on black. The image is
    stretched across a quad 0.75 wide and 1 high whose top-left corner is
    the hot spot, so the bottle is drawn in those units: it leans to the
    right, its mouth at the top-left corner."""
    size = 128
    c = Canvas(size)
    qw, qh = 0.75, 1.0
    mouth = (0.07, 0.04)   # quad units, y down
    base = (0.55, 0.97)
    ax = base[0] - mouth[0]
    ay = base[1] - mouth[1]
    length = math.hypot(ax, ay)
    ux, uy = ax / length, ay / length      # along the bottle, mouth to base
    nx, ny = -uy, ux                       # across the bottle

    def radius(u):
        if u < 0.0:
            return 0.0
        if u < 0.045:                      # cork
            return 0.030
        if u < 0.07:                       # lip
            return 0.040
        if u < 0.30:                       # neck
            return 0.032
        if u < 0.46:                       # shoulder
            t = (u - 0.30) / 0.16
            t = t * t * (3 - 2 * t)
            return 0.032 + (0.125 - 0.032) * t
        if u < length - 0.03:              # body
            return 0.125
        if u < length:                     # rounded base
            t = (u - (length - 0.03)) / 0.03
            return 0.125 * math.sqrt(max(0.0, 1.0 - t * t * 0.7))
        return 0.0

    glass = (0.10, 0.55, 0.22)
    cork = (0.62, 0.42, 0.22)
    label = (0.93, 0.86, 0.62)
    label_band = (0.80, 0.12, 0.10)

    def shade(x, y):
        px = x / size * qw - mouth[0]
        py = y / size * qh - mouth[1]
        u = px * ux + py * uy
        v = px * nx + py * ny
        r = radius(u)
        if r <= 0.0 or abs(v) > r:
            return (0.0, 0.0, 0.0)
        s = v / r                          # -1 .. 1 across the bottle
        # round glass: brighter rim, darker middle, a sharp highlight
        body = 0.55 + 0.35 * abs(s) ** 3
        highlight = math.exp(-((s + 0.5) / 0.12) ** 2)
        if u < 0.045:
            col = scale(cork, 0.75 + 0.35 * (1 - abs(s)))
            return col
        if 0.56 < u < 0.80:
            k = 0.7 + 0.3 * math.sqrt(max(0.0, 1 - s * s))
            if 0.62 < u < 0.66 or 0.74 < u < 0.76:
                return scale(label_band, k)
            return scale(label, k)
        col = scale(glass, body)
        col = mix(col, (0.85, 1.0, 0.88), highlight * 0.85)
        return col

    supersampled(c, shade, 4)
    return c


def snow():
    """Packed snow: white with a faint blue grain and a few glints;
    tiles seamlessly around the spheres."""
    size = 256
    c = Canvas(size)
    soft = octaves(501, 8, 8, 3)
    grain = octaves(511, 64, 64, 2)
    rng = random.Random(521)
    for py in range(size):
        v = py / size
        for px in range(size):
            u = px / size
            n = fbm(soft, u, v)
            g = fbm(grain, u, v)
            k = 0.65 * n + 0.35 * g
            i = py * size + px
            c.r[i], c.g[i], c.b[i] = mix((0.80, 0.85, 0.95), (0.99, 0.99, 1.0), k)
    for _ in range(700):
        x = rng.uniform(0, size)
        y = rng.uniform(0, size)
        stroke(c, x, y, x + 0.3, y, rng.uniform(0.8, 1.6), (1, 1, 1), (1, 1, 1),
               alpha=rng.uniform(0.4, 0.9))
    for _ in range(400):
        x = rng.uniform(0, size)
        y = rng.uniform(0, size)
        stroke(c, x, y, x + 0.3, y, rng.uniform(0.8, 1.4), (0.70, 0.78, 0.92),
               (0.70, 0.78, 0.92), alpha=rng.uniform(0.2, 0.5))
    return c


def cubic(p0, p1, p2, p3, steps):
    pts = []
    for k in range(steps + 1):
        t = k / steps
        a = (1 - t) ** 3
        b = 3 * (1 - t) ** 2 * t
        d = 3 * (1 - t) * t * t
        e = t ** 3
        pts.append((a * p0[0] + b * p1[0] + d * p2[0] + e * p3[0],
                    a * p0[1] + b * p1[1] + d * p2[1] + e * p3[1]))
    return pts


def fill_polygon(size, poly, sub=4):
    """Coverage (0..1 per pixel) of a closed polygon given in pixels
    (y down), by scanlines: sub rows per pixel, exact horizontal spans."""
    cov = [0.0] * (size * size)
    edges = list(zip(poly, poly[1:] + poly[:1]))
    for py in range(size):
        for sy in range(sub):
            y = py + (sy + 0.5) / sub
            xs = []
            for (x0, y0), (x1, y1) in edges:
                if (y0 <= y < y1) or (y1 <= y < y0):
                    xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                a = max(a, 0.0)
                b = min(b, float(size))
                for px in range(int(a), min(size, int(math.ceil(b)))):
                    part = min(b, px + 1.0) - max(a, float(px))
                    if part > 0.0:
                        cov[py * size + px] += part / sub
    return cov


def santa_hat():
    """A red Santa hat with a white fur trim and a white bobble on black.
    Drawn upright: the trim across the bottom, the pointed top bending
    over to the right with the bobble hanging from its tip."""
    size = 256
    c = Canvas(size)
    fabric = octaves(601, 16, 16, 2)
    fur = octaves(611, 24, 24, 3)

    # Outline in picture units (x right, y up): up the left flank and over
    # the top to the tip, then back along the underside of the bent-over
    # point and down the right flank.
    outer = cubic((0.13, 0.27), (0.17, 0.78), (0.50, 1.02), (0.86, 0.66), 60)
    inner = cubic((0.80, 0.63), (0.66, 0.80), (0.78, 0.50), (0.87, 0.27), 60)
    poly = [(x * size, (1 - y) * size) for x, y in outer + inner]
    cov = fill_polygon(size, poly)
    red = (0.82, 0.05, 0.06)
    verts = poly[::2]
    for i in range(size * size):
        a = cov[i]
        if a <= 0.0:
            continue
        px = i % size + 0.5
        py = i // size + 0.5
        d = min(math.hypot(px - vx, py - vy) for vx, vy in verts) / size
        # rounded: darker towards the outline, lit from the upper left
        k = 0.45 + 0.55 * clamp01(d / 0.12) ** 0.7
        k *= 0.85 + 0.3 * clamp01(1.0 - px / size) * clamp01(1.2 - py / size)
        # a soft fold where the point bends over
        fold = math.hypot(px / size - 0.70, py / size - 0.30)
        k *= 1.0 - 0.35 * math.exp(-((fold - 0.12) / 0.03) ** 2) * clamp01((px / size - 0.55) * 5)
        k *= 0.9 + 0.2 * fbm(fabric, px / size, py / size)
        c.blend(i, scale(red, clamp01(k)), min(a, 1.0))

    def fluffy(cx, cy, rx, ry, power, seed_shift, rough):
        """Soft white fur patch with a ragged edge (picture units, y up);
        power 2 gives an ellipse, larger powers a rounded rectangle."""
        x0 = int((cx - rx - rough) * size) - 2
        x1 = int((cx + rx + rough) * size) + 2
        y0 = int((1 - cy - ry - rough) * size) - 2
        y1 = int((1 - cy + ry + rough) * size) + 2
        for py in range(max(0, y0), min(size, y1)):
            for px in range(max(0, x0), min(size, x1)):
                u = (px + 0.5) / size
                v = 1 - (py + 0.5) / size
                dx = (u - cx) / rx
                dy = (v - cy) / ry
                d = (abs(dx) ** power + abs(dy) ** power) ** (1.0 / power)
                edge = 1.0 + rough / min(rx, ry) * (fbm(fur, u * 2 + seed_shift, v * 2) - 0.5) * 2.0
                a = clamp01((edge - d) * min(rx, ry) * size + 0.5)
                if a <= 0.0:
                    continue
                n = fbm(fur, u * 3 + seed_shift, v * 3)
                light = 0.80 + 0.20 * clamp01(0.5 + 0.5 * dy - 0.25 * dx)
                k = clamp01(light * (0.80 + 0.32 * n))
                c.blend(py * size + px, (k * 0.97, k * 0.98, k), a)

    fluffy(0.50, 0.25, 0.41, 0.095, 4.0, 0.0, 0.012)   # trim
    fluffy(0.84, 0.60, 0.085, 0.085, 2.0, 0.37, 0.012)  # bobble
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "Data"
    os.makedirs(out, exist_ok=True)
    for name, make in (("BaumOben.bmp", fir_needles),
                       ("BaumStamm.bmp", bark),
                       ("Snowflake.bmp", snowflake),
                       ("Flasche.bmp", bottle),
                       ("Schneeman.bmp", snow),
                       ("Muetze.bmp", santa_hat)):
        make().write_bmp(os.path.join(out, name))
        print("textures: wrote", os.path.join(out, name))


if __name__ == "__main__":
    main()
