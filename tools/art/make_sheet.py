#!/usr/bin/env python3
"""Draws the game's sprites and packs them into one sheet.

Writes <out>/<name>.png and <out>/<name>.json (TexturePacker's JSON array
form). Standard library only; the same input gives the same bytes.

    make_sheet.py OUTPUT_DIR [NAME]
"""

import json
import math
import os
import struct
import sys
import zlib

SUB = 4  # subsamples per pixel side for smooth edges
PAD = 2  # empty pixels around every sprite, so filtering never bleeds
SHEET_WIDTH = 512


class Image:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.px = [[0, 0, 0, 0] for _ in range(width * height)]

    def blend(self, x, y, colour, coverage=1.0):
        if not (0 <= x < self.width and 0 <= y < self.height) or coverage <= 0:
            return
        r, g, b, a = colour
        a = a * min(coverage, 1.0) / 255.0
        dst = self.px[y * self.width + x]
        da = dst[3] / 255.0
        out_a = a + da * (1 - a)
        if out_a <= 0:
            return
        for i, c in enumerate((r, g, b)):
            dst[i] = int(round((c * a + dst[i] * da * (1 - a)) / out_a))
        dst[3] = int(round(out_a * 255))

    def shape(self, inside, colour, box=None):
        """Fills the points p for which inside(x, y) holds, antialiased."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                hits = 0
                for sy in range(SUB):
                    for sx in range(SUB):
                        if inside(x + (sx + 0.5) / SUB, y + (sy + 0.5) / SUB):
                            hits += 1
                self.blend(x, y, colour, hits / (SUB * SUB))

    def rect(self, x0, y0, x1, y1, colour):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour, (x0, y0, x1, y1))

    def ellipse(self, cx, cy, rx, ry, colour):
        def inside(x, y):
            return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0

        self.shape(inside, colour, (cx - rx, cy - ry, cx + rx + 1, cy + ry + 1))

    def circle(self, cx, cy, r, colour):
        self.ellipse(cx, cy, r, r, colour)

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            odd = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    odd = not odd
                j = i
            return odd

        self.shape(inside, colour, (min(xs), min(ys), max(xs) + 1, max(ys) + 1))

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1.0
        half = width / 2.0

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            px, py = x0 + t * dx - x, y0 + t * dy - y
            return px * px + py * py <= half * half

        box = (min(x0, x1) - half, min(y0, y1) - half, max(x0, x1) + half + 1,
               max(y0, y1) + half + 1)
        self.shape(inside, colour, box)

    def paste(self, other, ox, oy):
        for y in range(other.height):
            row = y * other.width
            for x in range(other.width):
                self.px[(oy + y) * self.width + ox + x] = list(other.px[row + x])


def png_bytes(image):
    raw = bytearray()
    for y in range(image.height):
        raw.append(0)
        for x in range(image.width):
            raw.extend(image.px[y * image.width + x])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def shade(colour, factor):
    r, g, b, a = colour
    return (min(255, int(r * factor)), min(255, int(g * factor)), min(255, int(b * factor)), a)


# Palette.
QUILL = (226, 92, 40, 255)
QUILL_BELLY = (250, 214, 160, 255)
BEAK = (250, 190, 40, 255)
INK = (34, 26, 30, 255)
WHITE = (255, 255, 255, 255)
GREMLIN = (112, 190, 62, 255)
GREMLIN_DARK = (64, 128, 40, 255)
WOOD = (186, 128, 66, 255)
WOOD_DARK = (128, 82, 40, 255)
STONE = (150, 156, 166, 255)
STONE_DARK = (98, 104, 116, 255)
HILLS = (120, 176, 96, 255)
HILLS_FAR = (150, 198, 132, 255)
GRASS = (86, 150, 58, 255)
SOIL = (110, 78, 50, 255)
BAND = (70, 40, 28, 255)
GOLD = (250, 206, 52, 255)


def bird():
    img = Image(20, 20)
    img.polygon([(3, 6), (7, 0), (9, 6)], INK)  # the quill on its head
    img.circle(10, 10.5, 9, QUILL)
    img.ellipse(10, 14, 6, 4.5, QUILL_BELLY)
    img.circle(13, 8, 3, WHITE)
    img.circle(13.8, 8.2, 1.4, INK)
    img.line(9.5, 5, 15.5, 6.2, 1.6, INK)  # a stern brow
    img.polygon([(16, 10), (20, 11.5), (16, 13.5)], BEAK)
    return img


def gremlin(hurt):
    img = Image(24, 24)
    img.polygon([(4, 6), (2, 0), (9, 4)], GREMLIN_DARK)  # ears
    img.polygon([(20, 6), (22, 0), (15, 4)], GREMLIN_DARK)
    img.circle(12, 13, 11, GREMLIN)
    img.ellipse(12, 17, 6, 3.5, shade(GREMLIN, 1.2))
    for ex in (8, 16):
        img.circle(ex, 11, 3, WHITE)
        img.circle(ex, 11.5, 1.3, INK)
    img.line(9, 19, 15, 19, 1.4, INK)
    if hurt:
        img.line(5, 7, 10, 9, 1.5, INK)
        img.circle(16, 11, 3, shade(GREMLIN, 0.8))
        img.line(13.5, 11, 18.5, 11, 1.3, INK)
    return img


def block(width, height, base, dark, cracked, grain):
    img = Image(width, height)
    img.rect(0, 0, width, height, dark)
    img.rect(1, 1, width - 1, height - 1, base)
    if grain:
        long_side = width >= height
        for i in range(1, 4):
            if long_side:
                y = height * i / 4.0
                img.line(2, y, width - 3, y + (i % 2), 0.7, shade(base, 0.85))
            else:
                x = width * i / 4.0
                img.line(x, 2, x + (i % 2), height - 3, 0.7, shade(base, 0.85))
    else:
        img.rect(2, 2, width - 2, 3, shade(base, 1.15))
    if cracked:
        w, h = width, height
        img.line(w * 0.2, h * 0.15, w * 0.45, h * 0.55, 1.2, dark)
        img.line(w * 0.45, h * 0.55, w * 0.35, h * 0.9, 1.2, dark)
        img.line(w * 0.6, h * 0.1, w * 0.75, h * 0.6, 1.2, dark)
    return img


def slingshot():
    img = Image(30, 70)
    img.line(15, 69, 15, 34, 7, WOOD_DARK)
    img.line(15, 36, 5, 4, 6, WOOD_DARK)
    img.line(15, 36, 25, 4, 6, WOOD_DARK)
    img.line(15, 68, 15, 36, 4, WOOD)
    img.line(15, 36, 5, 5, 3, WOOD)
    img.line(15, 36, 25, 5, 3, WOOD)
    return img


def dot(size, colour):
    img = Image(size, size)
    img.circle(size / 2.0, size / 2.0, size / 2.0 - 0.3, colour)
    return img


def band():
    img = Image(16, 6)
    img.rect(0, 0, 16, 6, BAND)
    img.rect(0, 1, 16, 2, shade(BAND, 1.5))
    return img


def star(filled):
    img = Image(24, 24)
    points = []
    for i in range(10):
        r = 11.5 if i % 2 == 0 else 5
        a = -math.pi / 2 + i * math.pi / 5
        points.append((12 + r * math.cos(a), 12.5 + r * math.sin(a)))
    img.polygon(points, INK)
    inner = [(12 + (x - 12) * 0.78, 12.5 + (y - 12.5) * 0.78) for x, y in points]
    img.polygon(inner, GOLD if filled else (90, 90, 100, 255))
    return img


def hills():
    # Tiles across: every wave has a whole number of periods over the width.
    w, h = 256, 96
    img = Image(w, h)

    def far(x, y):
        return y > 40 + 14 * math.sin(2 * math.pi * x / w * 2) + 6 * math.sin(2 * math.pi * x / w * 5)

    def near(x, y):
        return y > 60 + 12 * math.sin(2 * math.pi * x / w + 1.0) + 4 * math.sin(2 * math.pi * x / w * 3)

    img.shape(far, HILLS_FAR)
    img.shape(near, HILLS)
    return img


def ground():
    w, h = 256, 32
    img = Image(w, h)
    img.rect(0, 6, w, h, SOIL)
    for i in range(16):  # pebbles, evenly spread so the tile repeats
        img.ellipse(8 + i * 16, 16 + (i * 7) % 12, 2.5, 1.5, shade(SOIL, 0.8))

    def grass(x, y):
        return y < 8 + 2 * math.sin(2 * math.pi * x / 16)

    img.shape(grass, GRASS)
    return img


def cloud():
    img = Image(64, 28)
    for cx, cy, r in ((16, 17, 10), (30, 12, 12), (46, 16, 10), (32, 20, 9)):
        img.circle(cx, cy, r, (255, 255, 255, 235))
    return img


def debris(colour, dark):
    img = Image(6, 6)
    img.polygon([(0, 2), (4, 0), (6, 4), (2, 6)], dark)
    img.polygon([(1, 2.5), (4, 1), (5, 4), (2, 5)], colour)
    return img


def feather():
    img = Image(8, 4)
    img.ellipse(4, 2, 4, 1.8, QUILL)
    img.line(0.5, 2, 7.5, 2, 0.6, shade(QUILL, 0.6))
    return img


def sprites():
    """Sprite name to image, in packing order."""
    out = [
        ("QUILL_BIRD", bird()),
        ("GREMLIN", gremlin(False)),
        ("GREMLIN_HURT", gremlin(True)),
        ("SLINGSHOT", slingshot()),
        ("RUBBERBAND", band()),
        ("PARTICLE_SLINGDOT", dot(6, WHITE)),
        ("TRAIL_WHITE_1", dot(6, WHITE)),
        ("TRAIL_WHITE_2", dot(4, WHITE)),
        ("TRAIL_WHITE_3", dot(8, WHITE)),
        ("BIRD_SPECIAL", dot(10, (255, 255, 255, 200))),
        ("STAR", star(True)),
        ("STAR_EMPTY", star(False)),
        ("CLOUD", cloud()),
        ("DEBRIS_WOOD", debris(WOOD, WOOD_DARK)),
        ("DEBRIS_STONE", debris(STONE, STONE_DARK)),
        ("FEATHER", feather()),
        ("BG_HILLS", hills()),
        ("FG_GROUND", ground()),
    ]
    # Blocks: one unit of the world is 20 pixels.
    sizes = {"PLANK": (80, 10), "POST": (10, 60), "BOX": (20, 20), "SLAB": (60, 10)}
    for material, base, dark, grain in (("WOOD", WOOD, WOOD_DARK, True),
                                        ("STONE", STONE, STONE_DARK, False)):
        for kind, (w, h) in sorted(sizes.items()):
            out.append(("%s_%s" % (material, kind), block(w, h, base, dark, False, grain)))
            out.append(("%s_%s_CRACKED" % (material, kind), block(w, h, base, dark, True, grain)))
    return out


def pack(items):
    """Shelf packing, tallest first; returns the sheet and the frames."""
    order = sorted(items, key=lambda item: (-item[1].height, item[0]))
    x = y = shelf = 0
    placed = []
    for name, img in order:
        if x + img.width + 2 * PAD > SHEET_WIDTH:
            x, y, shelf = 0, y + shelf, 0
        placed.append((name, img, x + PAD, y + PAD))
        x += img.width + 2 * PAD
        shelf = max(shelf, img.height + 2 * PAD)
    height = 1
    while height < y + shelf:
        height *= 2
    sheet = Image(SHEET_WIDTH, height)
    frames = []
    for name, img, px, py in sorted(placed, key=lambda p: p[0]):
        sheet.paste(img, px, py)
        size = {"w": img.width, "h": img.height}
        frames.append({
            "filename": name + ".png",
            "frame": {"x": px, "y": py, "w": img.width, "h": img.height},
            "rotated": False,
            "trimmed": False,
            "spriteSourceSize": {"x": 0, "y": 0, "w": img.width, "h": img.height},
            "sourceSize": size,
        })
    return sheet, frames


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    out_dir = argv[1]
    name = argv[2] if len(argv) > 2 else "quill"
    sheet, frames = pack(sprites())
    meta = {
        "app": "http://www.texturepacker.com",
        "version": "1.0",
        "image": name + ".png",
        "format": "RGBA8888",
        "size": {"w": sheet.width, "h": sheet.height},
        "scale": "1",
    }
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, name + ".png"), "wb") as f:
        f.write(png_bytes(sheet))
    with open(os.path.join(out_dir, name + ".json"), "w", newline="\n") as f:
        json.dump({"frames": frames, "meta": meta}, f, indent=1, sort_keys=True)
        f.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
