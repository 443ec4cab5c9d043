#!/usr/bin/env python3
"""Draws the program's pictures into src/app/res: the tool-bar glyphs (one 16-pixel strip,
magenta where transparent), the two sort arrows of the list's header and the application
icon (16 and 32 pixels). The files are kept in the repository; run this after changing a
drawing. Usage: make-app-resources.py [output folder]"""
import struct
import sys
from pathlib import Path

MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
DARK = (64, 64, 64)
FOLDER = (230, 190, 70)
FOLDER_EDGE = (150, 110, 20)
BLUE = (40, 90, 190)
LIGHT_BLUE = (170, 200, 240)
GREEN = (30, 150, 60)
PAPER = (250, 250, 250)


class Canvas:
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def set(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = color

    def rect(self, x0, y0, x1, y1, color):  # inclusive corners, filled
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, color)

    def frame(self, x0, y0, x1, y1, color):
        for x in range(x0, x1 + 1):
            self.set(x, y0, color)
            self.set(x, y1, color)
        for y in range(y0, y1 + 1):
            self.set(x0, y, color)
            self.set(x1, y, color)

    def hline(self, x0, x1, y, color):
        for x in range(x0, x1 + 1):
            self.set(x, y, color)

    def vline(self, x, y0, y1, color):
        for y in range(y0, y1 + 1):
            self.set(x, y, color)

    def blit(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                self.set(left + x, top + y, other.pixels[y][x])


def folder(c, dx=0, dy=0):
    c.rect(1 + dx, 4 + dy, 6 + dx, 5 + dy, FOLDER)
    c.frame(1 + dx, 4 + dy, 6 + dx, 5 + dy, FOLDER_EDGE)
    c.rect(1 + dx, 5 + dy, 14 + dx, 13 + dy, FOLDER)
    c.frame(1 + dx, 5 + dy, 14 + dx, 13 + dy, FOLDER_EDGE)


def glyph_parent():
    c = Canvas(16, 16, MAGENTA)
    folder(c, 0, 1)
    # an arrow pointing up out of the folder
    c.vline(8, 3, 11, GREEN)
    c.vline(9, 3, 11, GREEN)
    for i in range(4):
        c.hline(8 - i, 9 + i, 3 + i, GREEN)
    return c


def glyph_new_folder():
    c = Canvas(16, 16, MAGENTA)
    folder(c, 0, 1)
    # a plus sign in the top right corner: a new one
    c.rect(10, 0, 14, 4, WHITE)
    c.hline(10, 14, 2, GREEN)
    c.vline(12, 0, 4, GREEN)
    c.hline(11, 13, 2, GREEN)
    return c


def glyph_properties():
    c = Canvas(16, 16, MAGENTA)
    c.rect(2, 1, 12, 14, PAPER)
    c.frame(2, 1, 12, 14, DARK)
    for y in (4, 7, 10):
        c.hline(4, 10, y, GREY)
    # a check mark
    for x, y in [(8, 11), (9, 12), (10, 11), (11, 10), (12, 9), (13, 8), (14, 7)]:
        c.set(x, y, GREEN)
        c.set(x, y + 1, GREEN)
    return c


def glyph_list():
    c = Canvas(16, 16, MAGENTA)
    for column in (1, 9):
        for row in (2, 6, 10):
            c.rect(column, row, column + 2, row + 2, BLUE)
            c.hline(column + 4, column + 6, row + 1, DARK)
    return c


def glyph_details():
    c = Canvas(16, 16, MAGENTA)
    c.rect(1, 1, 14, 3, GREY)
    for row in (6, 9, 12):
        c.rect(1, row, 3, row + 1, BLUE)
        c.hline(5, 8, row, DARK)
        c.hline(10, 14, row, DARK)
    return c


def glyph_thumbnails():
    c = Canvas(16, 16, MAGENTA)
    for left, top in [(1, 1), (9, 1), (1, 9), (9, 9)]:
        c.rect(left, top, left + 5, top + 5, LIGHT_BLUE)
        c.frame(left, top, left + 5, top + 5, BLUE)
    return c


def glyph_hidden():
    c = Canvas(16, 16, MAGENTA)
    # a document drawn in dots: there, but hidden
    for x in range(3, 13, 2):
        c.set(x, 1, GREY)
        c.set(x, 14, GREY)
    for y in range(1, 15, 2):
        c.set(3, y, GREY)
        c.set(12, y, GREY)
    # an eye
    for x in range(5, 11):
        c.set(x, 6, DARK)
        c.set(x, 10, DARK)
    c.set(4, 7, DARK); c.set(4, 9, DARK); c.set(3, 8, DARK)
    c.set(11, 7, DARK); c.set(11, 9, DARK); c.set(12, 8, DARK)
    c.rect(7, 7, 8, 9, BLUE)
    return c


def window(c, x0, y0, x1, y1):
    c.rect(x0, y0, x1, y1, WHITE)
    c.frame(x0, y0, x1, y1, DARK)
    c.hline(x0, x1, y0 + 1, BLUE)
    c.vline(x0 + 4, y0 + 2, y1 - 1, GREY)


def glyph_single():
    c = Canvas(16, 16, MAGENTA)
    window(c, 1, 1, 14, 14)
    return c


def glyph_dual():
    c = Canvas(16, 16, MAGENTA)
    window(c, 1, 1, 14, 7)
    window(c, 1, 8, 14, 14)
    return c


def glyph_network():
    c = Canvas(16, 16, MAGENTA)
    c.rect(2, 2, 13, 9, LIGHT_BLUE)
    c.frame(2, 2, 13, 9, DARK)
    c.vline(7, 10, 13, DARK)
    c.hline(2, 13, 13, DARK)
    return c


def bmp24(canvas):
    rows = []
    for y in range(canvas.height - 1, -1, -1):
        row = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in canvas.pixels[y])
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows.append(row)
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(data),
                         2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54) + header + data


def icon_image(canvas):
    """An icon entry: 32-bit colour with alpha, and the AND mask (all opaque bits where the
    colour is not magenta)."""
    w, h = canvas.width, canvas.height
    colour = b""
    for y in range(h - 1, -1, -1):
        for (r, g, b) in canvas.pixels[y]:
            alpha = 0 if (r, g, b) == MAGENTA else 255
            colour += struct.pack("BBBB", b, g, r, alpha) if alpha else b"\0\0\0\0"
    mask = b""
    stride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if canvas.pixels[y][x] == MAGENTA:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(colour) + len(mask), 0, 0,
                         0, 0)
    return header + colour + mask


def app_icon(size):
    c = Canvas(size, size, MAGENTA)
    s = size / 32.0
    def r(v):
        return int(round(v * s))
    c.rect(r(1), r(3), r(30), r(28), WHITE)
    c.frame(r(1), r(3), r(30), r(28), DARK)
    c.rect(r(2), r(4), r(29), r(6), BLUE)
    # two panes stacked, each a tree and a list
    for top, bottom in [(r(8), r(16)), (r(18), r(26))]:
        c.rect(r(3), top, r(10), bottom, FOLDER)
        c.frame(r(3), top, r(10), bottom, FOLDER_EDGE)
        c.rect(r(12), top, r(28), bottom, LIGHT_BLUE)
        c.frame(r(12), top, r(28), bottom, BLUE)
    return c


def ico(images):
    count = len(images)
    out = struct.pack("<HHH", 0, 1, count)
    offset = 6 + 16 * count
    entries, blobs = b"", b""
    for canvas in images:
        blob = icon_image(canvas)
        entries += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0, 1, 32,
                               len(blob), offset)
        blobs += blob
        offset += len(blob)
    return out + entries + blobs


def arrow(down):
    # 9 x 5 with a free bottom row: the list takes its background from the bottom-left pixel.
    c = Canvas(9, 5, MAGENTA)
    for row in range(4):
        half = 3 - row if down else row
        for x in range(4 - half, 5 + half):
            c.set(x, row, GREY)
    return c


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent /
               "src" / "app" / "res")
    out.mkdir(parents=True, exist_ok=True)
    glyphs = [glyph_parent(), glyph_new_folder(), glyph_properties(), glyph_list(),
              glyph_details(), glyph_thumbnails(), glyph_hidden(), glyph_single(), glyph_dual(),
              glyph_network()]
    strip = Canvas(16 * len(glyphs), 16, MAGENTA)
    for i, glyph in enumerate(glyphs):
        strip.blit(glyph, 16 * i, 0)
    (out / "ToolGlyphs.bmp").write_bytes(bmp24(strip))
    (out / "ArrowUp.bmp").write_bytes(bmp24(arrow(False)))
    (out / "ArrowDown.bmp").write_bytes(bmp24(arrow(True)))
    (out / "Bivista.ico").write_bytes(ico([app_icon(16), app_icon(32), app_icon(48)]))


if __name__ == "__main__":
    main()
