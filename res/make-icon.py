#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Draws the program's 32 x 32 hamburger icon and writes it as an indexed PNG,
or as the Windows icon file with the same drawing at 16, 32, 48 and 256 pixels.

The picture uses a palette of a few colours (of the 256 an indexed PNG allows),
with entry 0 fully transparent, so the file carries its own transparency mask.
Standard library only. Run from the source tree:  python3 res/make-icon.py
(writes res/vistral.png), or  python3 res/make-icon.py OUT.png|OUT.ico, or
python3 res/make-icon.py OUT.png SIZE  for the drawing at SIZE x SIZE pixels
with 8-bit alpha (the web page's icons).
"""

import math
import struct
import sys
import zlib
from pathlib import Path

SIZE = 32
PALETTE = [  # (red, green, blue); entry 0 is the transparent background
    (0, 0, 0),         # 0 transparent
    (58, 30, 12),      # 1 outline
    (214, 140, 60),    # 2 bun
    (244, 196, 120),   # 3 bun highlight
    (168, 98, 38),     # 4 bun shade
    (252, 244, 210),   # 5 sesame
    (86, 178, 52),     # 6 lettuce
    (40, 124, 32),     # 7 lettuce shade
    (222, 52, 40),     # 8 tomato
    (252, 204, 40),    # 9 cheese
    (112, 58, 26),     # 10 patty
    (78, 38, 14),      # 11 patty shade
]
TRANSPARENT, OUTLINE, BUN, BUN_LIGHT, BUN_SHADE, SESAME = range(6)
LETTUCE, LETTUCE_SHADE, TOMATO, CHEESE, PATTY, PATTY_SHADE = range(6, 12)


def draw():
    img = [[TRANSPARENT] * SIZE for _ in range(SIZE)]

    def row(y, half, colour):
        for x in range(SIZE):
            if abs(x + 0.5 - SIZE / 2) <= half:
                img[y][x] = colour

    for y in range(4, 14):  # top bun: a dome
        half = 14.5 * math.sqrt(max(0.0, 1 - ((13.5 - y) / 10) ** 2))
        row(y, half, BUN if y < 12 else BUN_SHADE)
    for x, y in [(13, 6), (17, 6), (10, 8), (21, 8), (15, 9), (7, 11), (24, 11), (12, 11)]:
        img[y][x] = SESAME
    for x, y in [(9, 6), (8, 7), (7, 8), (10, 5), (11, 5)]:
        img[y][x] = BUN_LIGHT
    row(14, 15, LETTUCE)
    row(15, 15, LETTUCE)
    row(16, 14, TOMATO)
    for x in range(1, SIZE - 1):  # the lettuce hangs over in waves
        if x % 4 in (1, 2):
            img[16][x] = LETTUCE_SHADE
    row(17, 14, TOMATO)
    row(18, 15, CHEESE)
    for x in (5, 6, 19, 20):  # cheese drips
        img[19][x] = CHEESE
    for y in range(19, 23):
        for x in range(SIZE):
            if abs(x + 0.5 - SIZE / 2) <= 14 and img[y][x] == TRANSPARENT:
                img[y][x] = PATTY if y < 22 else PATTY_SHADE
    for y in range(23, 28):  # bottom bun, rounded underneath
        row(y, 14 - max(0, y - 25) * 2, BUN if y < 26 else BUN_SHADE)

    # Every drawn pixel that touches the background becomes outline.
    def bare(x, y):
        return not (0 <= x < SIZE and 0 <= y < SIZE) or img[y][x] == TRANSPARENT

    edge = [(x, y) for y in range(SIZE) for x in range(SIZE)
            if img[y][x] != TRANSPARENT
            and any(bare(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))]
    for x, y in edge:
        img[y][x] = OUTLINE
    return img


def png_file(size, colour_type, rows, extra_chunks=()):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, colour_type, 0, 0, 0)
    raw = b"".join(b"\0" + bytes(r) for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + b"".join(chunk(kind, data) for kind, data in extra_chunks)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def png(img):
    plte = b"".join(bytes(c) for c in PALETTE)
    trns = bytes([0] + [255] * (len(PALETTE) - 1))
    return png_file(SIZE, 3, img, [(b"PLTE", plte), (b"tRNS", trns)])  # 8-bit palette indices


def rgba(img, size):
    """The drawing at size x size as rows of (red, green, blue, alpha): each target
    pixel averages the drawn pixels it covers, weighted by area and opacity, so
    whole multiples of 32 give square blocks and 16 or 48 stay true to the shapes."""
    scale = SIZE / size

    def spans(i):  # the source pixels under target pixel i, with their overlap
        lo, hi = i * scale, (i + 1) * scale
        return [(s, min(hi, s + 1) - max(lo, s)) for s in range(int(lo), math.ceil(hi))]

    out = []
    for y in range(size):
        row = []
        for x in range(size):
            total = [0.0] * 4
            for sy, wy in spans(y):
                for sx, wx in spans(x):
                    index = img[sy][sx]
                    alpha = 0.0 if index == TRANSPARENT else wx * wy
                    for k in range(3):
                        total[k] += PALETTE[index][k] * alpha
                    total[3] += alpha
            opacity = total[3] / (scale * scale)
            row.append(tuple(round(t / total[3]) if total[3] else 0 for t in total[:3])
                       + (round(255 * opacity),))
        out.append(row)
    return out


def ico(img):
    """A Windows icon file: 32 x 32 as drawn (256-colour palette and a transparency
    mask), 16 and 48 with 8-bit alpha, 256 as PNG, as Windows reads them."""

    def bitmap(size, bit_count, colours, xor_rows, opaque_rows):
        def stride(bits):  # rows end on 4 bytes
            return (size * bits + 31) // 32 * 4

        xor = b"".join(bytes(r).ljust(stride(bit_count), b"\0") for r in reversed(xor_rows))
        mask = b""
        for row in reversed(opaque_rows):  # 1 bits are transparent
            bits = int("".join("0" if o else "1" for o in row), 2) << (stride(1) * 8 - size)
            mask += bits.to_bytes(stride(1), "big")
        header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bit_count, 0,
                             len(xor) + len(mask), 0, 0, 0, 0)
        return header + colours + xor + mask

    def bgra_rows(pixels):
        return [[v for r, g, b, a in row for v in (b, g, r, a)] for row in pixels]

    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE).ljust(256 * 4, b"\0")
    images = []
    for size in (16, 32, 48, 256):
        if size == SIZE:
            data = bitmap(size, 8, palette, img,
                          [[i != TRANSPARENT for i in row] for row in img])
            bit_count = 8
        elif size == 256:
            data = png_file(size, 6, [[v for p in row for v in p] for row in rgba(img, size)])
            bit_count = 32
        else:
            pixels = rgba(img, size)
            data = bitmap(size, 32, b"", bgra_rows(pixels),
                          [[p[3] > 0 for p in row] for row in pixels])
            bit_count = 32
        images.append((size, bit_count, data))

    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, bit_count, data in images:  # width and height 0 mean 256
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bit_count,
                                 len(data), offset)
        offset += len(data)
    return directory + b"".join(data for _, _, data in images)


if __name__ == "__main__":
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("vistral.png")
    size = int(sys.argv[2]) if len(sys.argv) > 2 else SIZE
    if out.suffix == ".ico":
        out.write_bytes(ico(draw()))
    elif size == SIZE:
        out.write_bytes(png(draw()))
    else:
        out.write_bytes(png_file(size, 6, [[v for p in row for v in p] for row in rgba(draw(), size)]))
