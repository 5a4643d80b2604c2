#!/usr/bin/env python3
"""Draws res/ZarvFMgr.ico: the application icon IDR_MAINFRAME, a funnel (a filter)
over a stack of media strips, as two 16-colour images, 32x32 and 16x16."""
import struct
import sys

# The standard 16-colour VGA palette (B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_BLUE, GREY, LIGHT_GREY, BLUE, CYAN, WHITE, YELLOW = 0, 4, 8, 7, 12, 14, 15, 11


def draw(size):
    """Returns rows (top first) of palette indices, None for transparent."""
    px = [[None] * size for _ in range(size)]
    s = size / 32.0

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    # Three media strips at the bottom.
    for i, colour in enumerate((BLUE, CYAN, YELLOW)):
        fill(4, 20 + 4 * i, 28, 23 + 4 * i, colour)
        fill(4, 20 + 4 * i, 28, 20 + 4 * i + 1, BLACK) if size == 32 else None
    # The funnel: a trapezium narrowing to a spout.
    for y in range(int(2 * s), int(14 * s)):
        half = (14 - (y / s - 2)) * s
        for x in range(int(16 * s - half), int(16 * s + half)):
            px[y][x] = DARK_BLUE if x in (int(16 * s - half), int(16 * s + half) - 1) else LIGHT_GREY
    fill(14, 14, 18, 19, DARK_BLUE)
    fill(2, 2, 30, 4, GREY)
    return px


def image(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):  # bottom-up
        line = bytearray()
        for x in range(0, size, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            line.append((hi << 4) | lo)
        line += b"\0" * (-len(line) % 4)
        xor += line
        bits = bytearray()
        for x in range(0, size, 8):
            byte = 0
            for bit in range(8):
                if row[x + bit] is None:
                    byte |= 0x80 >> bit
            bits.append(byte)
        bits += b"\0" * (-len(bits) % 4)
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def main(path):
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/ZarvFMgr.ico")
