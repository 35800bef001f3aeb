#!/usr/bin/env python3
"""Draws the two built-in entry icons and writes them into res/:

  default_icon.ico  imgDefIcon, a notepad page: white paper with blue rules
                    under a blue binding with its rings; the icon of an entry
                    whose target has none, and the memo button's glyph.
  web_icon.ico      imgWebIcon, a web-page document: a page with a folded
                    corner and a blue globe with green land on it; the icon of
                    web addresses and network paths.

Each file holds images of 16, 20, 24 and 32 pixels square (the row icon at
96, 120, 144 and 192 DPI), 24 bits per pixel with a transparency mask. The
pictures are drawn by hand on the 16x16 pixel grid; the larger images take
each pixel from the nearest pixel of that grid.
Run from the repository root: python3 scripts/make_entry_icons.py
"""
import struct
import sys
from pathlib import Path

# One letter a pixel; '.' is transparent.
PALETTE = {
    'o': (0x40, 0x40, 0x40),  # outline
    'w': (0xFF, 0xFF, 0xFF),  # paper
    'b': (0x28, 0x5A, 0xC8),  # binding, globe sea
    'r': (0x96, 0xB4, 0xE6),  # rules
    'k': (0xD0, 0xD8, 0xE8),  # rings on the binding
    'f': (0xC8, 0xC8, 0xC8),  # folded corner
    'g': (0x3C, 0xA0, 0x3C),  # land
    's': (0x12, 0x32, 0x82),  # globe rim
}

NOTEPAD = [
    '................',
    '..oooooooooooo..',
    '..bkbbkbbkbbkb..',
    '..bbbbbbbbbbbb..',
    '..owwwwwwwwwwo..',
    '..owwwwwwwwwwo..',
    '..owrrrrrrrrwo..',
    '..owwwwwwwwwwo..',
    '..owrrrrrrrrwo..',
    '..owwwwwwwwwwo..',
    '..owrrrrrrrrwo..',
    '..owwwwwwwwwwo..',
    '..owrrrrrwwwwo..',
    '..owwwwwwwwwwo..',
    '..oooooooooooo..',
    '................',
]

WEB_PAGE = [
    '..ooooooooo.....',
    '..owwwwwwwoo....',
    '..owwwwwwwofo...',
    '..owwwwwwwoffo..',
    '..owwwwwwwoooo..',
    '..owwwssssswwo..',
    '..owwsbggbbswo..',
    '..owsbgggbbbso..',
    '..owsbbggbbgso..',
    '..owsbbbgbggso..',
    '..owsbbbbgggso..',
    '..owwsbbbggswo..',
    '..owwwssssswwo..',
    '..owwwwwwwwwwo..',
    '..oooooooooooo..',
    '................',
]


def image(grid, size):
    """BITMAPINFOHEADER, BGR rows bottom-up padded to 4 bytes, then the AND mask."""
    rows = [[grid[y * 16 // size][x * 16 // size] for x in range(size)] for y in range(size)]
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    stride = (size * 3 + 3) // 4 * 4
    xor = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for c in row:
            r, g, b = PALETTE.get(c, (0, 0, 0))
            line += bytes((b, g, r))
        xor += line + bytes(stride - len(line))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, c in enumerate(row):
            if c == '.':
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def icon_file(grid, sizes=(16, 20, 24, 32)):
    for line in grid:
        assert len(line) == 16 and all(c == '.' or c in PALETTE for c in line), line
    assert len(grid) == 16
    images = [image(grid, size) for size in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'res'
    for name, grid in (('default_icon.ico', NOTEPAD), ('web_icon.ico', WEB_PAGE)):
        (folder / name).write_bytes(icon_file(grid))
        print(f'wrote {folder / name}')


if __name__ == '__main__':
    main()
