#!/usr/bin/env python3
"""Draws the bitmaps of the bundled default theme's two skins.

Slate: 24-bit BMP nine-grid pieces with a magenta key for rounded corners.
Glass: 32-bit TGA pieces with per-pixel alpha (bottom-left origin, straight
alpha), the format the skin loader reads.

Run from anywhere: python3 themes/make_default_skins.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SKINS = os.path.join(HERE, "Default", "Skins")
MAGENTA = (255, 0, 255)


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y from the top."""
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_tga(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a), y from the top; stored bottom-left."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 32, 0x08)
    data = bytearray()
    for y in range(height - 1, -1, -1):
        for x in range(width):
            r, g, b, a = pixel(x, y)
            data += bytes((b, g, r, a))
    with open(path, "wb") as f:
        f.write(header + data)


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def corner_cut(x, y, w, h, radius):
    """True for pixels outside a rounded rectangle of the given radius."""
    cx = radius - 1 - x if x < radius else x - (w - radius) if x >= w - radius else -1
    cy = radius - 1 - y if y < radius else y - (h - radius) if y >= h - radius else -1
    if cx < 0 or cy < 0:
        return False
    return (cx + 0.5) ** 2 + (cy + 0.5) ** 2 > radius ** 2


# ---- Slate: dark bar along the bottom ---------------------------------------------------

def slate_background(x, y, w=32, h=32):
    if corner_cut(x, y, w, h, 4):
        return MAGENTA
    if y == 0:
        return (120, 132, 150)             # light top edge
    if x == 0 or x == w - 1 or y == h - 1:
        return (28, 32, 40)
    return lerp((70, 78, 92), (38, 43, 52), y / (h - 1))


def slate_item(top, bottom, edge):
    def pixel(x, y, w=24, h=24):
        if corner_cut(x, y, w, h, 5):
            return MAGENTA
        if x in (0, w - 1) or y in (0, h - 1):
            return edge
        return lerp(top, bottom, y / (h - 1))
    return pixel


def slate_section(x, y, w=16, h=16):
    if corner_cut(x, y, w, h, 3):
        return MAGENTA
    if x in (0, w - 1) or y in (0, h - 1):
        return (30, 34, 42)
    return (56, 63, 76)


def slate_separator(x, y, w=8, h=16):
    if x == 3:
        return (30, 34, 42)
    if x == 4:
        return (110, 120, 136)
    return MAGENTA


# ---- Glass: a translucent blue menu ---------------------------------------------------------

def glass_background(x, y, w=32, h=32):
    if corner_cut(x, y, w, h, 6):
        return (0, 0, 0, 0)
    if x in (0, w - 1) or y in (0, h - 1):
        return (200, 225, 255, 255)        # opaque rim
    r, g, b = lerp((60, 110, 180), (20, 50, 110), y / (h - 1))
    return (r, g, b, 200)


def glass_item(top, bottom, alpha):
    def pixel(x, y, w=24, h=24):
        if corner_cut(x, y, w, h, 4):
            return (0, 0, 0, 0)
        if x in (0, w - 1) or y in (0, h - 1):
            return (255, 255, 255, 230)
        r, g, b = lerp(top, bottom, y / (h - 1))
        return (r, g, b, alpha)
    return pixel


def glass_separator(x, y, w=16, h=6):
    if y == 2:
        return (180, 210, 255, 220)
    if y == 3:
        return (10, 30, 70, 160)
    return (0, 0, 0, 0)


def main():
    slate = os.path.join(SKINS, "Slate")
    glass = os.path.join(SKINS, "Glass")
    os.makedirs(slate, exist_ok=True)
    os.makedirs(glass, exist_ok=True)
    write_bmp(os.path.join(slate, "background.bmp"), 32, 32, slate_background)
    write_bmp(os.path.join(slate, "item_over.bmp"), 24, 24,
              slate_item((104, 118, 140), (72, 84, 104), (150, 164, 186)))
    write_bmp(os.path.join(slate, "item_selected.bmp"), 24, 24,
              slate_item((64, 120, 190), (40, 84, 150), (150, 190, 240)))
    write_bmp(os.path.join(slate, "item_clicked.bmp"), 24, 24,
              slate_item((30, 60, 110), (50, 96, 160), (120, 160, 220)))
    write_bmp(os.path.join(slate, "section.bmp"), 16, 16, slate_section)
    write_bmp(os.path.join(slate, "separator.bmp"), 8, 16, slate_separator)
    write_tga(os.path.join(glass, "background.tga"), 32, 32, glass_background)
    write_tga(os.path.join(glass, "item_over.tga"), 24, 24,
              glass_item((150, 200, 255), (90, 150, 230), 210))
    write_tga(os.path.join(glass, "item_selected.tga"), 24, 24,
              glass_item((255, 210, 120), (230, 160, 60), 230))
    write_tga(os.path.join(glass, "item_clicked.tga"), 24, 24,
              glass_item((200, 140, 40), (255, 200, 110), 240))
    write_tga(os.path.join(glass, "separator.tga"), 16, 6, glass_separator)


if __name__ == "__main__":
    main()
