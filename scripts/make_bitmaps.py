#!/usr/bin/env python3
"""Draws the application's bitmaps, icon and cursor into resources/images/.

The outputs are committed; run this again after changing a picture here.
Everything is 16-colour (the standard VGA palette) except the monochrome
cursor. Toolbar images use light grey as ground, which the toolbar maps to
the button-face colour when it loads the strip.
"""
import os
import struct

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# One letter a colour in the pixel maps below; '.' is the ground.
COLOURS = {'k': 0, 'M': 1, 'G': 2, 'o': 3, 'n': 4, 'p': 5, 't': 6, '.': 7,
           'g': 8, 'r': 9, 'l': 10, 'y': 11, 'b': 12, 'm': 13, 'c': 14, 'w': 15}
GROUND, GREY, GREEN = 7, 8, 10

TOOLBAR = [
    # New: a page with a folded corner
    ["................", "...kkkkkkkk.....", "...kwwwwwwkk....", "...kwwwwwwkwk...",
     "...kwwwwwwkkkk..", "...kwwwwwwwwwk..", "...kwwwwwwwwwk..", "...kwwwwwwwwwk..",
     "...kwwwwwwwwwk..", "...kwwwwwwwwwk..", "...kwwwwwwwwwk..", "...kwwwwwwwwwk..",
     "...kwwwwwwwwwk..", "...kkkkkkkkkkk..", "................"],
    # Save As: a magenta disk
    ["................", ".kkkkkkkkkkkkkk.", ".kmmkwwwwwwkmmk.", ".kmmkwwwwwwkmmk.",
     ".kmmkwwwwwwkmmk.", ".kmmkwwwwwwkmmk.", ".kmmmkkkkkkmmmk.", ".kmmmmmmmmmmmmk.",
     ".kmmkkkkkkkkmmk.", ".kmmkggkwwwkmmk.", ".kmmkggkwwwkmmk.", ".kmmkggkwwwkmmk.",
     "..kmkkkkkkkkmmk.", "...kkkkkkkkkkkk.", "................"],
    # Copy: scissors
    ["................", "...k.......k....", "...k.......k....", "....k.....k.....",
     "....k.....k.....", ".....k...k......", ".....k...k......", "......k.k.......",
     ".......k........", "......n.n.......", "....nnn.nnn.....", "...n..n.n..n....",
     "...n..n.n..n....", "...n..n.n..n....", "....nn...nn....."],
    # Still image at once: a photo camera
    ["................", "................", ".....kkkk.......", ".kkkkkggkkkkkkk.",
     ".kggggggggggrrk.", ".kgggkkkkkggggk.", ".kggkwwbbkkgggk.", ".kgkwbbbbbkkggk.",
     ".kgkbbbbbbbkggk.", ".kgkbbbbbbbkggk.", ".kggkbbbbbkkggk.", ".kgggkkkkkggggk.",
     ".kggggggggggggk.", ".kkkkkkkkkkkkkk.", "................"],
    # Still image after the countdown: a stopwatch
    ["......kkk.......", ".......k........", ".....kkkkk......", "...kkwwwwwkk....",
     "..kwwwwkwwwwk...", "..kwwwwkwwwwk...", ".kwwwwwkwwwwwk..", ".kwwwwwkkkkwwk..",
     ".kwwwwwwwwwwwk..", ".kwwwwwwwwwwwk..", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...",
     "...kkwwwwwkk....", ".....kkkkk......", "................"],
    # Video stream: a movie camera over coloured bars
    ["..kkk...kkk.....", ".kgggk.kgggk....", ".kgkgk.kgkgk....", ".kgggk.kgggk....",
     "..kkk...kkk.....", ".kkkkkkkkkk..k..", ".kggggggggk.kk..", ".kggggggggkkgk..",
     ".kggggggggk.kk..", ".kkkkkkkkkk..k..", "................", "rryyllccbbmmwwkk",
     "rryyllccbbmmwwkk", "rryyllccbbmmwwkk", "................"],
    # About: a yellow question mark
    ["................", ".....kkkkk......", "....kyyyyyk.....", "...kyyk.kyyk....",
     "...kyyk.kyyk....", "....kk..kyyk....", ".......kyyk.....", "......kyyk......",
     "......kyyk......", "......kyyk......", ".......kk.......", "......kyyk......",
     "......kyyk......", ".......kk.......", "................"],
]

GO = ["..######....######..", ".##....##..##....##.", "##.........##....##",
      "##..####...##....##.", "##....##...##....##.", ".##...##...##....##.",
      "..#####.....######.."]

ARROW = [  # cursor: 'k' outline, 'w' fill, '.' transparent; tip at (1, 1)
    "..........", ".k........", ".kk.......", ".kwk......", ".kwwk.....", ".kwwwk....",
    ".kwwwwk...", ".kwwwwwk..", ".kwwwwwwk.", ".kwwwwwwwk", ".kwwwwwkkkk", ".kwwkwwk...",
    ".kwk.kwwk..", ".kk..kwwk..", ".k....kwwk.", "......kwwk.", ".......kk..",
]


def rows_bottom_up_4bit(pixels, width):
    """Packs rows (top first) of palette indices into 4-bit bottom-up DIB rows."""
    stride = ((width * 4 + 31) // 32) * 4
    out = bytearray()
    for row in reversed(pixels):
        packed = bytearray()
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            packed.append((hi << 4) | lo)
        packed.extend(b"\0" * (stride - len(packed)))
        out.extend(packed)
    return bytes(out)


def mask_bottom_up(bits, width):
    stride = ((width + 31) // 32) * 4
    out = bytearray()
    for row in reversed(bits):
        packed = bytearray(stride)
        for x, b in enumerate(row):
            if b:
                packed[x // 8] |= 0x80 >> (x % 8)
        out.extend(packed)
    return bytes(out)


def palette_bytes(colours):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)


def info_header(width, height, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colours, 0)


def write_bmp4(path, pixels):
    height, width = len(pixels), len(pixels[0])
    data = rows_bottom_up_4bit(pixels, width)
    pal = palette_bytes(PALETTE)
    offset = 14 + 40 + len(pal)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset))
        f.write(info_header(width, height, 4, len(data), 16) + pal + data)


def write_icon(path, pixels, transparent):
    size = len(pixels)
    xor = rows_bottom_up_4bit(pixels, size)
    and_mask = mask_bottom_up(transparent, size)
    body = info_header(size, size * 2, 4, len(xor) + len(and_mask), 16) + palette_bytes(PALETTE) + xor + and_mask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(body), 22))
        f.write(body)


def write_cursor(path, art, hot_x, hot_y, size=32):
    white = [[0] * size for _ in range(size)]
    transparent = [[1] * size for _ in range(size)]
    for y, line in enumerate(art):
        for x, ch in enumerate(line):
            if ch in "kw":
                transparent[y][x] = 0
                white[y][x] = 1 if ch == "w" else 0
    xor = mask_bottom_up(white, size)
    and_mask = mask_bottom_up(transparent, size)
    body = info_header(size, size * 2, 1, len(xor) + len(and_mask), 2) + palette_bytes([(0, 0, 0), (255, 255, 255)]) + xor + and_mask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 2, 1))
        f.write(struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, hot_y, len(body), 22))
        f.write(body)


def toolbar_strip():
    rows = []
    for y in range(15):
        row = []
        for glyph in TOOLBAR:
            row.extend(COLOURS[c] for c in glyph[y].ljust(16, "."))
        rows.append(row)
    return rows


def gauge(number):
    width, height = 200, 48
    rows = [[GROUND] * width for _ in range(height)]
    if number <= 129:
        bar = 200 - 20 * (number - 120)
        left = (width - bar) // 2
        for y in range(8, 40):
            for x in range(left, left + bar):
                rows[y][x] = GREY
    else:
        scale = 4
        text_w = max(len(r) for r in GO) * scale
        x0, y0 = (width - text_w) // 2, (height - len(GO) * scale) // 2
        for gy, line in enumerate(GO):
            for gx, ch in enumerate(line):
                if ch == "#":
                    for dy in range(scale):
                        for dx in range(scale):
                            rows[y0 + gy * scale + dy][x0 + gx * scale + dx] = GREEN
    return rows


def main_icon():
    glyph = TOOLBAR[5]  # the movie camera, doubled
    pixels = [[0] * 32 for _ in range(32)]
    transparent = [[1] * 32 for _ in range(32)]
    for y, line in enumerate(glyph):
        for x, ch in enumerate(line):
            if ch == ".":
                continue
            for dy in range(2):
                for dx in range(2):
                    pixels[1 + 2 * y + dy][2 * x + dx] = COLOURS[ch]
                    transparent[1 + 2 * y + dy][2 * x + dx] = 0
    return pixels, transparent


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")
    os.makedirs(out, exist_ok=True)
    write_bmp4(os.path.join(out, "toolbar.bmp"), toolbar_strip())
    for g in range(120, 131):
        write_bmp4(os.path.join(out, "gauge%d.bmp" % g), gauge(g))
    pixels, transparent = main_icon()
    write_icon(os.path.join(out, "morva.ico"), pixels, transparent)
    write_cursor(os.path.join(out, "arrow.cur"), ARROW, 1, 1)


if __name__ == "__main__":
    main()
