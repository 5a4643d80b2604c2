#!/usr/bin/env python3
"""Draws the maker's logo for the About box: the word TAVELMIR in block letters
on a blue band, in two renditions of one picture.
  - res/about_logo.bmp (IDB_ABOUT_LOGO): 250x58 pixels, 24 bits per pixel,
    uncompressed, as the About box shows it at 96 dpi;
  - res/about_logo_2x.bmp (IDB_ABOUT_LOGO_2X): 500x116 pixels, each pixel of the
    first a 2x2 block, from which the About box scales the logo down at other
    dpi. The picture has three colours: 4 bits per pixel with a palette of those
    three (Windows' bitmaps have no 2-bit form), uncompressed, which LoadImage
    takes as a device-independent section as it does the first, at a sixth of
    its size in 24 bits. RLE would be smaller still, but no DIB section holds
    a compressed bitmap.
Usage: tools/make-logo.py [FOLDER] (res/ unless told)."""
import os
import struct
import sys

WIDTH, HEIGHT = 250, 58
FONT = {  # 5x7 block letters, one string per row
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
}
BAND, LETTER, EDGE = (0x00, 0x33, 0x99), (0xFF, 0xFF, 0xFF), (0xE6, 0x00, 0x00)  # R, G, B


def draw():
    px = [[BAND] * WIDTH for _ in range(HEIGHT)]
    for y in (0, 1, HEIGHT - 2, HEIGHT - 1):
        px[y] = [EDGE] * WIDTH
    word, scale = "TAVELMIR", 5
    text_width = len(word) * 6 * scale - scale
    x0, y0 = (WIDTH - text_width) // 2, (HEIGHT - 7 * scale) // 2
    for i, ch in enumerate(word):
        for row, bits in enumerate(FONT[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            px[y0 + row * scale + dy][x0 + (i * 6 + col) * scale + dx] = LETTER
    return px


def bitmap_file(info, pixels, palette=b""):
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(palette) + len(pixels), 0, 0,
                       14 + len(info) + len(palette))
    return head + info + palette + bytes(pixels)


def true_colour(px):
    """24 bits per pixel: bottom-up rows of B, G, R, each padded to 4 bytes."""
    width, height = len(px[0]), len(px)
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(px):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return bitmap_file(info, pixels)


def four_bit(px):
    """4 bits per pixel, the palette of the picture's colours only (biClrUsed),
    in the order they first appear from the top left; bottom-up rows, the left
    pixel in the high half of each byte, each row padded to 4 bytes."""
    width, height = len(px[0]), len(px)
    colours = list(dict.fromkeys(colour for row in px for colour in row))
    assert len(colours) <= 16
    index = {colour: i for i, colour in enumerate(colours)}
    stride = ((width + 7) // 8) * 4
    pixels = bytearray()
    for row in reversed(px):
        indices = [index[colour] for colour in row] + [0] * (width % 2)
        line = bytes((indices[x] << 4) | indices[x + 1] for x in range(0, len(indices), 2))
        pixels += line + b"\0" * (stride - len(line))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835,
                       len(colours), len(colours))
    return bitmap_file(info, pixels, palette)


def doubled(px):
    """Each pixel a 2x2 block."""
    return [[colour for colour in row for _ in range(2)] for row in px for _ in range(2)]


def main(folder):
    px = draw()
    for name, data in (("about_logo.bmp", true_colour(px)), ("about_logo_2x.bmp", four_bit(doubled(px)))):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res")
