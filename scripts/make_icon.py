#!/usr/bin/env python3
"""Draws Lumora's icon and writes res/lumora.ico (16x16 and 32x32, 32-bit).

The picture: a deep blue rounded square holding a command prompt, a white
chevron ">" and an amber underscore "_", the launcher's command line.
Run from the repository root: python3 scripts/make_icon.py
"""
import struct
import sys
from pathlib import Path

BLUE_TOP = (0x2B, 0x6C, 0xD6)
BLUE_BOTTOM = (0x16, 0x3C, 0x8C)
EDGE = (0x0E, 0x27, 0x5C)
WHITE = (0xFF, 0xFF, 0xFF)
AMBER = (0xFF, 0xC2, 0x2E)


def inside_rounded(x, y, size, radius):
    """True when pixel (x, y) lies in a square of size with rounded corners."""
    cx = min(max(x + 0.5, radius), size - radius)
    cy = min(max(y + 0.5, radius), size - radius)
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2


def blend(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def draw(size):
    """Returns rows top to bottom of (r, g, b, a) pixels."""
    s = size / 16.0
    radius = 3.0 * s
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if not inside_rounded(x, y, size, radius):
                continue
            edge = not inside_rounded(x, y, size, radius) or not (
                inside_rounded(x - 1, y, size, radius) and inside_rounded(x + 1, y, size, radius)
                and inside_rounded(x, y - 1, size, radius) and inside_rounded(x, y + 1, size, radius))
            colour = EDGE if edge else blend(BLUE_TOP, BLUE_BOTTOM, y / (size - 1))
            pixels[y][x] = colour + (255,)

    def plot(x, y, colour):
        if 0 <= x < size and 0 <= y < size and pixels[y][x][3]:
            pixels[y][x] = colour + (255,)

    # The chevron: two strokes meeting at the right, stroke width scales.
    width = max(1, round(1.5 * s))
    left, top, tip_x, tip_y = round(3 * s), round(4 * s), round(8 * s), round(8 * s)
    steps = tip_x - left
    for i in range(steps + 1):
        for w in range(width):
            y_up = top + round(i * (tip_y - top) / steps)
            y_down = 2 * tip_y - y_up
            plot(left + i + w, y_up, WHITE)
            plot(left + i + w, y_down, WHITE)
    # The underscore.
    for y in range(round(11 * s), round(11 * s) + width):
        for x in range(round(9 * s), round(13 * s)):
            plot(x, y, AMBER)
    return pixels


def bitmap_entry(size, painter=draw):
    """The icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask."""
    pixels = painter(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def icon_file(sizes, painter=draw):
    """An .ico file holding painter's picture at each size."""
    images = [bitmap_entry(size, painter) for size in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b''.join(images)


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'res' / 'lumora.ico'
    target.write_bytes(icon_file([16, 32]))
    print(f'wrote {target}')


if __name__ == '__main__':
    main()
