#!/usr/bin/env python3
"""Draws Korvu's pictures and window icon: PNGs for the Qt window, .ico files for the Win32 one.

The seven button pictures are 16x16 pixel maps over the sixteen classic VGA colours with a
transparent background, written as indexed PNGs; every one but the wand gets a grayed twin
(<name>-gray.png) in the classic disabled look: the dark parts of the shape in gray with a white
shadow one pixel down and to the right, the light parts left out. Each also comes doubled
(<name>@2x.png) for screens of twice the density. The window icon is drawn from
simple shapes with anti-aliasing at 32, 48 and 256 pixels.

The Win32 window takes the same drawings as Windows icon files: <name>.ico for each picture and
grayed twin, holding the 16x16 picture and its 32x32 doubling, and korvu.ico, the window icon at
16, 32 and 48 pixels and 256 as an embedded PNG. Every entry but the 256 one is an uncompressed
32-bit BGRA bitmap with its AND mask, which every icon loader reads, Wine's and older Windows'
included.

Only the Python standard library is used, and the output is the same byte for byte on every run.
Usage: app/qt/pictures/draw_pictures.py [png-folder [ico-folder]]
Without arguments the PNGs go into this script's folder and the .ico files into app/win32/pictures;
with arguments, only into the folders named (no .ico files without an ico-folder).
"""

import math
import os
import struct
import sys
import zlib

# Letter, colour. '.' is transparent.
PALETTE = {
    "k": (0x00, 0x00, 0x00),  # black
    "m": (0x80, 0x00, 0x00),  # maroon
    "g": (0x00, 0x80, 0x00),  # green
    "o": (0x80, 0x80, 0x00),  # olive
    "n": (0x00, 0x00, 0x80),  # navy
    "p": (0x80, 0x00, 0x80),  # purple
    "t": (0x00, 0x80, 0x80),  # teal
    "s": (0xC0, 0xC0, 0xC0),  # silver
    "d": (0x80, 0x80, 0x80),  # gray ("dark")
    "r": (0xFF, 0x00, 0x00),  # red
    "l": (0x00, 0xFF, 0x00),  # lime
    "y": (0xFF, 0xFF, 0x00),  # yellow
    "b": (0x00, 0x00, 0xFF),  # blue
    "f": (0xFF, 0x00, 0xFF),  # fuchsia
    "a": (0x00, 0xFF, 0xFF),  # aqua
    "w": (0xFF, 0xFF, 0xFF),  # white
}
LETTERS = "." + "".join(PALETTE)  # index 0 is the transparent entry
SIZE = 16


# --- PNG writing --------------------------------------------------------------------------------

def _chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def _png(width, height, colour_type, rows, extra_chunks=b""):
    raw = b"".join(b"\x00" + bytes(row) for row in rows)  # filter "none" on every row
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + extra_chunks
            + _chunk(b"IDAT", zlib.compress(raw, 9)) + _chunk(b"IEND", b""))


def indexed_png(pixels, scale=1):
    """pixels: SIZE strings of SIZE palette letters, each drawn as scale x scale pixels."""
    plte = b"\x00\x00\x00" + b"".join(bytes(PALETTE[c]) for c in LETTERS[1:])
    chunks = _chunk(b"PLTE", plte) + _chunk(b"tRNS", b"\x00")  # only entry 0 is transparent
    rows = [[LETTERS.index(c) for c in row for _ in range(scale)]
            for row in pixels for _ in range(scale)]
    return _png(SIZE * scale, SIZE * scale, 3, rows, chunks)


def rgba_png(size, pixels):
    """pixels: size*size (r, g, b, a) tuples, row by row."""
    rows = [[v for p in pixels[y * size:(y + 1) * size] for v in p] for y in range(size)]
    return _png(size, size, 6, rows)


# --- ICO writing --------------------------------------------------------------------------------

def _dib(size, pixels):
    """An icon image as a bottom-up 32-bit BGRA bitmap followed by its 1-bit AND mask.

    pixels: size*size (r, g, b, a) tuples, row by row from the top; straight (not premultiplied)
    alpha. Loaders that ignore the alpha channel draw a pixel where its mask bit is 0, so the mask
    marks the pixels that are less than half covered.
    """
    rows = [pixels[y * size:(y + 1) * size] for y in reversed(range(size))]
    colour = b"".join(bytes((b, g, r, a)) for row in rows for r, g, b, a in row)
    mask_row_bytes = (size + 31) // 32 * 4
    mask = b""
    for row in rows:
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits |= 1 << (mask_row_bytes * 8 - 1 - x)
        mask += bits.to_bytes(mask_row_bytes, "big")
    # BITMAPINFOHEADER; the height counts the colour bitmap and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    return header + colour + mask


def ico(images):
    """images: (size, data) pairs, data a DIB from _dib or a PNG file; sizes up to 256."""
    directory = struct.pack("<HHH", 0, 1, len(images))  # ICONDIR: reserved, type icon, count
    offset = len(directory) + 16 * len(images)
    entries, data = b"", b""
    for size, image in images:
        side = size if size < 256 else 0  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
        data += image
    return directory + entries + data


def picture_pixels(pixels, scale=1):
    """pixels: SIZE strings of palette letters; the RGBA pixels, each letter scale x scale."""
    return [PALETTE[c] + (255,) if c != "." else (0, 0, 0, 0)
            for row in pixels for _ in range(scale) for c in row for _ in range(scale)]


def picture_ico(pixels):
    return ico([(SIZE, _dib(SIZE, picture_pixels(pixels))),
                (2 * SIZE, _dib(2 * SIZE, picture_pixels(pixels, 2)))])


# --- 16x16 canvas -------------------------------------------------------------------------------

class Canvas:
    def __init__(self, art=None):
        self.px = [list(row) for row in art] if art else [["."] * SIZE for _ in range(SIZE)]
        assert len(self.px) == SIZE and all(len(row) == SIZE for row in self.px), art
        assert all(c in LETTERS for row in self.px for c in row), art

    def set(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x] if 0 <= x < SIZE and 0 <= y < SIZE else "."

    def line(self, x0, y0, x1, y1, c):  # Bresenham
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if (x0, y0) == (x1, y1):
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polyline(self, points, c):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            self.line(x0, y0, x1, y1, c)

    def rows(self):
        return ["".join(row) for row in self.px]


# --- the seven pictures -------------------------------------------------------------------------

def wand():
    return Canvas([
        "............y...",
        "............y...",
        ".........y..y..y",
        "..........y.y.y.",
        "...........ywy..",
        "........yyywwwyy",
        "...........ywy..",
        "..........kwy.y.",
        ".........kwkk..y",
        "........kwk.....",
        ".......kkk......",
        "......kkk.......",
        ".....kkk........",
        "....kkk.........",
        "...kkk..........",
        "...kk...........",
    ])


def chart():
    c = Canvas()
    c.line(1, 0, 1, 14, "k")  # value axis with ticks
    c.line(1, 14, 15, 14, "k")  # time axis
    for y in (3, 7, 11):
        c.set(0, y, "k")
    for x in (5, 9, 13):
        c.set(x, 15, "k")
    c.polyline([(2, 10), (5, 5), (8, 8), (11, 2), (14, 4)], "r")
    c.polyline([(2, 12), (5, 11), (8, 12), (11, 7), (14, 9)], "b")
    return c


def folder():
    return Canvas([
        "................",
        "................",
        ".oooo...........",
        "owyyyo..........",
        "oyyyyyooooooo...",
        "oyyyyyyyyyyyyo..",
        "oyyykkkkkkkkkkkk",
        "oyykwyyyyyyyyyok",
        "oyykyyyyyyyyyyk.",
        "oykyyyyyyyyyyok.",
        "oykyyyyyyyyyyk..",
        "okyyyyyyyyyyok..",
        "okyyyyyyyyyyk...",
        "okkkkkkkkkkkk...",
        "................",
        "................",
    ])


def drive():
    return Canvas([
        "................",
        "................",
        "................",
        "................",
        "...kkkkkkkkkkkk.",
        "..kwwwwwwwwwwsk.",
        ".kwsssssssssskk.",
        "kkkkkkkkkkkkkdk.",
        "kwwwwwwwwwwwkdk.",
        "kwsssssssssdkdk.",
        "kwsddddsssrdkk..",
        "kwsssssssssdkk..",
        "kwdddddddddk....",
        "kkkkkkkkkkkkk...",
        "................",
        "................",
    ])


def load():
    return Canvas([
        "...........y.y.y",
        "............yyy.",
        "...kkkkkk.yyywyy",
        "...kwwwwkk..yyy.",
        "...kwwwwkwky.y.y",
        "...kwwwwkkkk....",
        "...kwwwwwwwk....",
        "...kwwwwwwwk....",
        "...kwwwwwwwk....",
        "...kwwwwwwwk....",
        "...kwwwwwwwk....",
        "...kwwwwwwwk....",
        "...kwwwwwwwk....",
        "...kwwwwwwwk....",
        "...kkkkkkkkk....",
        "................",
    ])


def save():
    return Canvas([
        "kkkkkk..........",
        "kwwwwkk...rrr...",
        "kwkkwkwk..rrr...",
        "kwwwwkkkk.rrr...",
        "kwkkkkwwk.rrr...",
        "kwwwwwwwkrrrrr..",
        "kwkkkkkwk.rrr...",
        "kwwwwwwwk..r....",
        "kkkkkkkkkkkkkkk.",
        "....knwwwwwwnnk.",
        "....knwwwwwwnnk.",
        "....knnnnnnnnnk.",
        "....knnssssnnnk.",
        "....knnskssnnnk.",
        "....knnssssnnnk.",
        "....kkkkkkkkkkk.",
    ])


BIG_WHEEL = [
    ".....##.....",
    ".##..##..##.",
    ".##########.",
    "..########..",
    "..########..",
    "############",
    "############",
    "..########..",
    "..########..",
    ".##########.",
    ".##..##..##.",
    ".....##.....",
]
SMALL_WHEEL = [
    "...##...",
    ".######.",
    ".######.",
    "########",
    "########",
    ".######.",
    ".######.",
    "...##...",
]


def draw_wheel(c, mask, left, top):
    """A grey wheel from `mask` ('#' inside): black rim, face lit from the top left, axle hole."""
    shape = {(x, y) for y, row in enumerate(mask) for x, ch in enumerate(row) if ch == "#"}
    for x, y in shape:
        rim = any((x + dx, y + dy) not in shape for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        c.set(left + x, top + y, "k" if rim else "s")
    for x, y in shape:
        if c.get(left + x, top + y) != "s":
            continue
        if c.get(left + x - 1, top + y) == "k" or c.get(left + x, top + y - 1) == "k":
            c.set(left + x, top + y, "w")
        elif c.get(left + x + 1, top + y) == "k" or c.get(left + x, top + y + 1) == "k":
            c.set(left + x, top + y, "d")
    middle = len(mask) // 2
    for x in (middle - 1, middle):
        for y in (middle - 1, middle):
            c.set(left + x, top + y, "k")


def gears():
    c = Canvas()
    draw_wheel(c, BIG_WHEEL, 0, 0)
    draw_wheel(c, SMALL_WHEEL, 8, 8)
    return c


PICTURES = {"wand": wand, "chart": chart, "folder": folder, "drive": drive, "load": load,
            "save": save, "gears": gears}
WITHOUT_TWIN = {"wand"}


def luminance(letter):
    r, g, b = PALETTE[letter]
    return 0.299 * r + 0.587 * g + 0.114 * b


def grayed(picture):
    """The classic disabled look: dark pixels in gray with a white shadow, light pixels gone."""
    dark = {(x, y) for y in range(SIZE) for x in range(SIZE)
            if picture.get(x, y) != "." and luminance(picture.get(x, y)) < 160}
    out = Canvas()
    for x, y in dark:
        out.set(x + 1, y + 1, "w")
    for x, y in dark:
        out.set(x, y, "d")
    return out


# --- the window icon ----------------------------------------------------------------------------

def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return math.hypot(x - cx, y - cy) <= radius
    return inside


def gear_shape(cx, cy, outer, root, hole, teeth):
    def inside(x, y):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        a = (math.atan2(dy, dx) / (2 * math.pi) * teeth + 0.25) % 1.0
        # Teeth with slanted flanks: wider at the root than at the tip.
        half = 0.22 + 0.12 * (outer - r) / (outer - root) if r > root else 0.5
        return hole < r <= outer and (r <= root or abs(a - 0.5) < half)
    return inside


def icon_layers():
    """(shape, colour) from back to front, in a unit square."""
    layers = [(rounded_rect(0.06, 0.14, 0.94, 0.86, 0.08), (0x26, 0x28, 0x2E))]  # film strip
    for i in range(6):  # sprocket holes along both edges
        x = 0.12 + i * 0.1375
        for y in (0.185, 0.775):
            layers.append((rounded_rect(x, y, x + 0.0725, y + 0.04, 0.012), (0xF2, 0xF2, 0xF2)))
    layers.append((rounded_rect(0.12, 0.265, 0.88, 0.735, 0.03), (0x2F, 0x7E, 0xD8)))  # frame
    layers.append((gear_shape(0.5, 0.5, 0.215, 0.165, 0.0, 10), (0xFF, 0xB3, 0x00)))  # gear
    layers.append((lambda x, y: math.hypot(x - 0.5, y - 0.5) <= 0.07, (0x2F, 0x7E, 0xD8)))
    return layers


def icon_pixels(size, samples=4):
    """The window icon as size*size (r, g, b, a) tuples, each pixel sampled samples^2 times."""
    layers = icon_layers()
    pixels = []
    step = 1.0 / (size * samples)
    offsets = [(i + 0.5) * step for i in range(samples)]
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied colour and coverage
            for oy in offsets:
                for ox in offsets:
                    x, y = px / size + ox, py / size + oy
                    colour = None
                    for inside, rgb in layers:
                        if inside(x, y):
                            colour = rgb
                    if colour:
                        acc = [acc[0] + colour[0], acc[1] + colour[1], acc[2] + colour[2],
                               acc[3] + 1]
            n = samples * samples
            if acc[3] == 0:
                pixels.append((0, 0, 0, 0))
            else:
                pixels.append(tuple(round(v / acc[3]) for v in acc[:3]) + (round(255 * acc[3] / n),))
    return pixels


def draw_all():
    """The files to write: ({PNG file: bytes}, {ICO file: bytes})."""
    pngs, icos = {}, {}
    for name, draw in PICTURES.items():
        pictures = {name: draw()}
        if name not in WITHOUT_TWIN:
            pictures[name + "-gray"] = grayed(pictures[name])
        for file, picture in pictures.items():
            pngs[file + ".png"] = indexed_png(picture.rows())
            # Qt takes the @2x file on a screen of twice the density: the same pixels, doubled, stay
            # as crisp as on a classic screen instead of being smoothed.
            pngs[file + "@2x.png"] = indexed_png(picture.rows(), 2)
            icos[file + ".ico"] = picture_ico(picture.rows())
    icon = {size: icon_pixels(size, 4 if size < 256 else 3) for size in (16, 32, 48, 256)}
    for size in (32, 48, 256):
        pngs["korvu-%d.png" % size] = rgba_png(size, icon[size])
    pngs["korvu.png"] = pngs["korvu-256.png"]
    icos["korvu.ico"] = ico([(size, _dib(size, icon[size])) for size in (16, 32, 48)]
                            + [(256, pngs["korvu-256.png"])])
    return pngs, icos


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    if len(sys.argv) > 3:
        sys.exit("usage: %s [png-folder [ico-folder]]" % sys.argv[0])
    if len(sys.argv) > 1:
        png_folder, ico_folder = sys.argv[1], (sys.argv[2] if len(sys.argv) > 2 else None)
    else:
        png_folder, ico_folder = here, os.path.join(here, "..", "..", "win32", "pictures")
    pngs, icos = draw_all()
    for folder_out, files in ((png_folder, pngs), (ico_folder, icos)):
        if folder_out is None:
            continue
        os.makedirs(folder_out, exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(folder_out, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
