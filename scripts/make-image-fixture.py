#!/usr/bin/env python3
"""Writes COUNT PNG images (256 x 192, a gradient, shifted per image) into FOLDER, for the
thumbnail bench; made from the host side, as making them through Wine is slow. Kept between
runs: a folder that already holds COUNT images is left alone."""
import os
import struct
import sys
import zlib

folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder, exist_ok=True)
if len([name for name in os.listdir(folder) if name.endswith(".png")]) == count:
    sys.exit(0)

WIDTH, HEIGHT = 256, 192


def chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


rows = []
for y in range(HEIGHT):
    row = bytearray([0])
    for x in range(WIDTH):
        row += bytes((x, y, (x + y) // 2))
    rows.append(bytes(row))
gradient = b"".join(rows)
header = chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0))
for index in range(count):
    shift = bytes((value + index) % 256 for value in range(256))
    pixels = bytearray(gradient.translate(shift))
    for y in range(HEIGHT):
        pixels[y * (WIDTH * 3 + 1)] = 0  # each row's filter byte stays "none"
    png = (b"\x89PNG\r\n\x1a\n" + header + chunk(b"IDAT", zlib.compress(bytes(pixels), 6)) +
           chunk(b"IEND", b""))
    with open(os.path.join(folder, "image%04d.png" % index), "wb") as out:
        out.write(png)
