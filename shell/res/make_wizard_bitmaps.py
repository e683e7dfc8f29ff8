#!/usr/bin/env python3
"""Writes the new-item wizard's own bitmaps: the watermark of its first and
last pages (164 x 314) and the header picture of its other pages (49 x 49),
24-bit BMP files with a blue gradient and a pattern of tiles."""
import struct
import sys
from pathlib import Path


def bmp(width, height, pixel):
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - width * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def watermark(x, y):
    t = y / 313
    r, g, b = int(40 + 60 * t), int(70 + 90 * t), int(140 + 100 * t)
    if (x // 20 + y // 20) % 2 == 0 and 40 < y < 280 and 20 < x < 144:
        r, g, b = min(r + 30, 255), min(g + 30, 255), min(b + 15, 255)
    return r, g, b


def header(x, y):
    inside = 6 <= x < 43 and 6 <= y < 43
    if not inside:
        return 255, 255, 255
    light = (x // 12 + y // 12) % 2 == 0
    return (90, 140, 230) if light else (50, 90, 180)


out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
(out / "wizard_watermark.bmp").write_bytes(bmp(164, 314, watermark))
(out / "wizard_header.bmp").write_bytes(bmp(49, 49, header))
