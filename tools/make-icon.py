#!/usr/bin/env python3
"""Draws res/ZarvFMgr.ico: the application icon IDR_MAINFRAME, a funnel (a filter)
over a stack of media strips. Two 16-colour images, 32x32 and 16x16, and the same
drawing in 32 bits a pixel (colour with alpha) at the sizes that Windows asks for
at 125 % to 200 % display scale and in Explorer's large views: 20, 24, 40, 48 and
64 pixels as bitmaps, 256 pixels as PNG. The directory lists the 16-colour images
first, as before, then the others from small to large. The same script always
writes the same bytes."""
import struct
import sys
import zlib

# The standard 16-colour VGA palette (B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_BLUE, GREY, LIGHT_GREY, BLUE, CYAN, WHITE, YELLOW = 0, 4, 8, 7, 12, 14, 15, 11
TRUE_COLOUR_SIZES = (20, 24, 40, 48, 64, 256)
PNG_SIZE = 256
SAMPLES = 16  # a pixel that a shape's edge crosses is the mean of SAMPLES x SAMPLES points


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


def and_mask(px, transparent):
    """The AND mask of an icon's bitmap: bottom-up rows of one bit a pixel, set
    where the pixel is transparent, each row padded to 4 bytes."""
    mask = bytearray()
    for row in reversed(px):
        bits = bytearray()
        for x in range(0, len(row), 8):
            byte = 0
            for bit in range(min(8, len(row) - x)):
                if transparent(row[x + bit]):
                    byte |= 0x80 >> bit
            bits.append(byte)
        mask += bits + b"\0" * (-len(bits) % 4)
    return bytes(mask)


def image(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    for row in reversed(px):  # bottom-up
        line = bytearray()
        for x in range(0, size, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            line.append((hi << 4) | lo)
        line += b"\0" * (-len(line) % 4)
        xor += line
    return header + palette + bytes(xor) + and_mask(px, lambda index: index is None)


def shapes(size):
    """The drawing at this size in pixels, as a function from a point (x, y), in
    pixels from the top left corner, to the palette index painted there, or None.

    The drawing is the one above on a grid of 32 units: the edges that run along
    the pixel grid fall on whole pixels, and the strips keep equal heights and
    gaps (thin lines at least a pixel), so that only the funnel's sides are
    shaded. Those run at 45 degrees through the centres of pixels, as the
    16-colour images step, one unit wide across (at least a pixel across the
    line), so that their middle stays solid at every size. The strips have their
    black top lines where a unit is a pixel or more, as at 32 pixels."""
    s = size / 32.0

    def at(units):  # a position: the nearest pixel edge
        return int(units * s + 0.5)

    def thick(units):  # a line's width: whole pixels, at least one
        return max(1, int(units * s))

    pitch, gap = at(4), thick(1)
    strips_top = at(31) - 3 * pitch + gap
    strips = [(strips_top + i * pitch, colour) for i, colour in enumerate((BLUE, CYAN, YELLOW))]
    lined = size >= 32
    rim = (at(2), at(30), at(2), at(4))
    spout = (at(14), at(18), at(14), strips_top - gap)
    top, bottom = at(2), at(14)
    half_outline = max(s, 2**0.5) / 2  # across the rows, half the width

    def inside(box, x, y):
        return box[0] <= x < box[1] and box[2] <= y < box[3]

    def colour_at(x, y):
        if inside(rim, x, y):
            return GREY
        if inside(spout, x, y):
            return DARK_BLUE
        if top <= y < bottom and rim[0] <= x < rim[1]:
            # The sides' middle lines: through the centre of each row's first and
            # last pixel on the diagonals.
            x0 = at(2) + (y - top)
            x1 = at(30) - (y - top)
            if abs(x - x0) < half_outline or abs(x - x1) < half_outline:
                return DARK_BLUE
            if x0 <= x < x1:
                return LIGHT_GREY
        if at(4) <= x < at(28):
            for strip_top, colour in strips:
                if strip_top <= y < strip_top + pitch - gap:
                    return BLACK if lined and y < strip_top + thick(1) else colour
        return None

    return colour_at


def draw_true_colour(size):
    """Returns rows (top first) of (R, G, B, A): the drawing's colour where a shape
    covers the pixel, its cover as alpha. A pixel whose corners, edge midpoints
    and centre all show the same is that alone; others are sampled."""
    colour_at = shapes(size)
    probes = [(i / 2.0, j / 2.0) for i in range(3) for j in range(3)]
    points = [((i + 0.5) / SAMPLES, (j + 0.5) / SAMPLES) for i in range(SAMPLES) for j in range(SAMPLES)]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            seen = {colour_at(x + dx, y + dy) for dx, dy in probes}
            found = [colour_at(x + dx, y + dy) for dx, dy in points] if len(seen) > 1 else list(seen)
            painted = [PALETTE[index] for index in found if index is not None]
            if not painted:
                row.append((0, 0, 0, 0))
                continue
            count = len(painted)
            mean = tuple((sum(c[k] for c in painted) + count // 2) // count for k in range(3))
            row.append(mean + ((count * 255 + len(found) // 2) // len(found),))
        rows.append(row)
    return rows


def true_colour_image(size):
    """A 32-bit image in the icon's bitmap form: the header with twice the height,
    the pixels bottom-up as B, G, R, A, then an AND mask set where the pixel is
    fully transparent, for the programs that read no alpha."""
    px = draw_true_colour(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytes(v for row in reversed(px) for r, g, b, a in row for v in (b, g, r, a))
    return header + xor + and_mask(px, lambda pixel: pixel[3] == 0)


def png_image(size):
    """The drawing as a PNG: 8-bit RGBA rows, unfiltered, deflated at level 9."""

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in draw_true_colour(size))
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )


def main(path):
    images = [(32, 16, 4, image(32)), (16, 16, 4, image(16))]
    for size in TRUE_COLOUR_SIZES:
        images.append((size, 0, 32, png_image(size) if size == PNG_SIZE else true_colour_image(size)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bits, data in images:
        side = size % 256  # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for *_, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/ZarvFMgr.ico")
