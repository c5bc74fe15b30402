#!/usr/bin/env python3
"""Draws the library's default scroll-bar images: make_scroll_images.py OUT_HORIZONTAL OUT_VERTICAL.

Horizontal (22 x 20): 3 columns of 4 rows; the scroll bar uses the first column only, rows 1 to 3 being the
thumb normal, under the pointer and dragged. Vertical (12 x 72): 3 cells side by side, the track, the thumb
under the pointer and the thumb otherwise.
"""
import struct
import sys
import zlib

TRANSPARENT = (0, 0, 0, 0)
TRACK = (0x14, 0x14, 0x14, 0x50)
THUMB = (0x8C, 0x8C, 0x8C, 0xFF)
THUMB_HOT = (0xB4, 0xB4, 0xB4, 0xFF)
THUMB_DRAG = (0x6E, 0x6E, 0x6E, 0xFF)


def write_png(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a); written as 8-bit RGBA, no filtering."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        out.write(chunk(b"IEND", b""))


def rounded_bar(x, y, width, height, colour):
    """A bar with its four corner pixels cut, so the thumb reads as rounded at this size."""
    on_x_edge = x in (0, width - 1)
    on_y_edge = y in (0, height - 1)
    return TRANSPARENT if on_x_edge and on_y_edge else colour


def horizontal(x, y):
    cell_width, cell_height = 22 // 3, 20 // 4
    column, row = x // cell_width, y // cell_height
    if column > 2 or row == 0:
        return TRANSPARENT
    colour = (THUMB, THUMB_HOT, THUMB_DRAG)[row - 1]
    return rounded_bar(x % cell_width, y % cell_height, cell_width, cell_height, colour)


def vertical(x, y):
    cell_width = 12 // 3
    cell = x // cell_width
    if cell == 0:
        return TRACK
    colour = THUMB_HOT if cell == 1 else THUMB
    return rounded_bar(x % cell_width, y, cell_width, 72, colour)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_scroll_images.py OUT_HORIZONTAL OUT_VERTICAL")
    write_png(sys.argv[1], 22, 20, horizontal)
    write_png(sys.argv[2], 12, 72, vertical)


if __name__ == "__main__":
    main()
