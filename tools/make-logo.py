#!/usr/bin/env python3
"""Draws res/about_logo.bmp: the maker's logo for the About box (IDB_ABOUT_LOGO),
250x58 pixels, 24 bits per pixel, uncompressed: the word TAVELMIR in block
letters on a blue band."""
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


def main(path):
    stride = (WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(draw()):  # bottom-up rows, BGR
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + bytes(pixels))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/about_logo.bmp")
