#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Draws the program's 32 x 32 hamburger icon and writes it as an indexed PNG.

The picture uses a palette of a few colours (of the 256 an indexed PNG allows),
with entry 0 fully transparent, so the file carries its own transparency mask.
Standard library only. Run from the source tree:  python3 res/make-icon.py
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


def png(img):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 3, 0, 0, 0)  # 8-bit palette indices
    plte = b"".join(bytes(c) for c in PALETTE)
    trns = bytes([0] + [255] * (len(PALETTE) - 1))
    raw = b"".join(b"\0" + bytes(r) for r in img)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", plte)
            + chunk(b"tRNS", trns) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("vistral.png")
    out.write_bytes(png(draw()))
