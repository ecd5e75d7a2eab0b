#!/usr/bin/env python3
"""Writes loading.png, the picture the example demo shows while it loads: a dark blue
gradient with a pale band across the middle. Standard library only."""
import os
import struct
import zlib

WIDTH, HEIGHT = 640, 360


def pixel(x, y):
    shade = y / (HEIGHT - 1)
    red, green, blue = 10 + 20 * shade, 20 + 40 * shade, 50 + 90 * shade
    if abs(y - HEIGHT // 2) < 3 and WIDTH // 4 <= x < 3 * WIDTH // 4:
        red, green, blue = 200, 210, 230
    return bytes((int(red), int(green), int(blue)))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


rows = b"".join(b"\0" + b"".join(pixel(x, y) for x in range(WIDTH)) for y in range(HEIGHT))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)) +
       chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "loading.png"), "wb") as out:
    out.write(png)
