#!/usr/bin/env python3
"""Draws the notification-area icon and writes res/tray.ico (16x16 and 32x32, 32-bit).

The picture: a lightning bolt, the launcher's quick start, in warm yellow on a
blue rounded square with a dark rim. The mid-blue square stands out on a dark
taskbar, the dark rim and the bright bolt on a light one.
Run from the repository root: python3 scripts/make_tray_icon.py
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from make_icon import blend, icon_file, inside_rounded  # noqa: E402

BLUE_TOP = (0x2F, 0x7B, 0xEE)
BLUE_BOTTOM = (0x17, 0x46, 0xA8)
EDGE = (0x0B, 0x22, 0x52)
BOLT = (0xFF, 0xD5, 0x2E)
BOLT_SHADE = (0xF5, 0x9E, 0x0B)
BOLT_RIM = (0x0B, 0x22, 0x52)

# The bolt in a 16-unit square, clockwise from its top left corner: the
# upper stroke down to the step, the step to the right, the lower stroke down
# to the point, back up to the step and along it to the left.
BOLT_SHAPE = [(8.6, 1.6), (12.4, 1.6), (9.6, 6.4), (12.6, 6.4),
              (5.6, 14.6), (7.4, 9.0), (4.2, 9.0)]

# At 16x16 the soft edges blur the bolt, so that size is drawn by hand on the
# pixel grid: '#' is bolt, everything else background.
BOLT_16 = [
    '................',
    '................',
    '.........####...',
    '........####....',
    '.......####.....',
    '......####......',
    '.....#########..',
    '........#####...',
    '........####....',
    '.......####.....',
    '.......###......',
    '......###.......',
    '......##........',
    '.....##.........',
    '.....#..........',
    '................',
]

SAMPLES = 6  # sub-samples per pixel side, for the bolt's soft edges


def inside_polygon(px, py, points):
    """Even-odd rule: True when (px, py) lies inside the polygon."""
    inside = False
    n = len(points)
    for i in range(n):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % n]
        if (y1 > py) != (y2 > py):
            x = x1 + (py - y1) * (x2 - x1) / (y2 - y1)
            if px < x:
                inside = not inside
    return inside


def coverage(x, y, points, grow=0.0):
    """Share of pixel (x, y) covered by the polygon; grow > 0 tests a ring
    around it by also counting sub-samples within grow of a covered one."""
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            px = x + (sx + 0.5) / SAMPLES
            py = y + (sy + 0.5) / SAMPLES
            if grow == 0.0:
                hit = inside_polygon(px, py, points)
            else:
                hit = any(inside_polygon(px + dx * grow, py + dy * grow, points)
                          for dx, dy in ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1),
                                         (0.7, 0.7), (-0.7, 0.7), (0.7, -0.7), (-0.7, -0.7)))
            hits += hit
    return hits / (SAMPLES * SAMPLES)


def draw(size):
    """Returns rows top to bottom of (r, g, b, a) pixels."""
    s = size / 16.0
    radius = 3.0 * s
    bolt = [(x * s, y * s) for x, y in BOLT_SHAPE]
    hand = BOLT_16 if size == 16 else None
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if not inside_rounded(x, y, size, radius):
                continue
            edge = not (inside_rounded(x - 1, y, size, radius) and inside_rounded(x + 1, y, size, radius)
                        and inside_rounded(x, y - 1, size, radius) and inside_rounded(x, y + 1, size, radius))
            if edge:
                pixels[y][x] = EDGE + (255,)
                continue
            colour = blend(BLUE_TOP, BLUE_BOTTOM, y / (size - 1))
            # A thin dark rim keeps the bolt apart from the blue.
            if hand:
                fill = 1.0 if hand[y][x] == '#' else 0.0
                rim = 1.0 if any(hand[y + dy][x + dx] == '#'
                                 for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))) else 0.0
            else:
                fill = coverage(x, y, bolt)
                rim = coverage(x, y, bolt, grow=0.6 * s)
            colour = blend(colour, BOLT_RIM, rim * 0.85)
            if fill:
                # Yellow above, amber towards the point.
                shade = blend(BOLT, BOLT_SHADE, max(0.0, (y / (size - 1) - 0.35) / 0.65))
                colour = blend(colour, shade, fill)
            pixels[y][x] = colour + (255,)
    return pixels


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'res' / 'tray.ico'
    target.write_bytes(icon_file([16, 32], draw))
    print(f'wrote {target}')


if __name__ == '__main__':
    main()
