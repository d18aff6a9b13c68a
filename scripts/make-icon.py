#!/usr/bin/env python3
"""Writes the wizard's icon: a page with a folded corner, blue link lines and
a red rosette with ribbon tails.

Twelve images: 48, 32, 24 and 16 pixels square, each as 4-bit (16 colours),
8-bit (256 colours) and 32-bit (alpha) DIB. The picture is drawn from a few
shapes in unit coordinates, so every size comes from the same description.
Standard library only; the output is the same bytes on every run.

usage: make-icon.py OUTPUT.ico
"""
import struct
import sys

SIZES = (48, 32, 24, 16)
DEPTHS = (4, 8, 32)

# The standard 16-colour palette; the picture uses only these colours, so the
# palette images show it exactly.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
WHITE, SILVER, GREY, BLACK = (255, 255, 255), (192, 192, 192), (128, 128, 128), (0, 0, 0)
BLUE, NAVY, RED, MAROON, YELLOW = (0, 0, 255), (0, 0, 128), (255, 0, 0), (128, 0, 0), (255, 255, 0)

PAGE = (0.14, 0.04, 0.80, 0.96)  # left, top, right, bottom
FOLD = 0.22                      # size of the folded corner


def in_page(x, y):
    left, top, right, bottom = PAGE
    if not (left <= x <= right and top <= y <= bottom):
        return False
    return (right - x) + (y - top) >= FOLD  # cut the top-right corner


def in_fold(x, y):
    _, top, right, _ = PAGE
    return x <= right and y >= top and (right - x) + (y - top) < FOLD \
        and x >= right - FOLD and y <= top + FOLD


def in_rect(x, y, rect):
    return rect[0] <= x <= rect[2] and rect[1] <= y <= rect[3]


def in_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_tail(x, y, x0, x1):
    # A ribbon tail below the rosette with a V cut at its end.
    if not (x0 <= x <= x1 and 0.66 <= y <= 0.99):
        return False
    mid = (x0 + x1) / 2
    notch = 0.99 - 0.12 * (1 - abs(x - mid) / ((x1 - x0) / 2))
    return y <= notch


# Shapes from back to front: (test, fill colour).
LINES = [(0.24, 0.30, 0.62, 0.35), (0.24, 0.42, 0.70, 0.47), (0.24, 0.54, 0.52, 0.59)]
SHAPES = [
    (in_page, WHITE),
    (in_fold, SILVER),
    (lambda x, y: any(in_rect(x, y, r) for r in LINES[:1]), NAVY),
    (lambda x, y: any(in_rect(x, y, r) for r in LINES[1:]), BLUE),
    (lambda x, y: in_tail(x, y, 0.56, 0.70) or in_tail(x, y, 0.74, 0.88), MAROON),
    (lambda x, y: in_circle(x, y, 0.72, 0.64, 0.18), RED),
    (lambda x, y: in_circle(x, y, 0.72, 0.64, 0.08), YELLOW),
]


def render(size):
    """Returns rows of (rgb, coverage) per pixel, top row first."""
    sub = 4
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            counts = {}
            for sy in range(sub):
                for sx in range(sub):
                    x = (px + (sx + 0.5) / sub) / size
                    y = (py + (sy + 0.5) / sub) / size
                    colour = None
                    for test, fill in SHAPES:
                        if test(x, y):
                            colour = fill
                    counts[colour] = counts.get(colour, 0) + 1
            row.append(counts)
        rows.append(row)
    return outline(rows, size, sub * sub)


def outline(rows, size, samples):
    """Draws a one-pixel grey border around the page so it reads on white."""
    def covered(px, py):
        if not (0 <= px < size and 0 <= py < size):
            return False
        return rows[py][px].get(None, 0) * 2 < samples

    result = []
    for py in range(size):
        row = []
        for px in range(size):
            counts = rows[py][px]
            solid = covered(px, py)
            edge = solid and not all(covered(px + dx, py + dy)
                                     for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge and counts.get(WHITE, 0) + counts.get(SILVER, 0) > 0:
                counts = {GREY: samples - counts.get(None, 0), None: counts.get(None, 0)}
            row.append(counts)
        result.append(row)
    return result


def blend(counts):
    """Returns (r, g, b, a) of a pixel from its sample counts."""
    total = sum(counts.values())
    opaque = total - counts.get(None, 0)
    if opaque == 0:
        return (0, 0, 0, 0)
    r = sum(c[0] * n for c, n in counts.items() if c) // opaque
    g = sum(c[1] * n for c, n in counts.items() if c) // opaque
    b = sum(c[2] * n for c, n in counts.items() if c) // opaque
    return (r, g, b, (255 * opaque + total // 2) // total)


def dominant(counts):
    """Returns the colour that covers most of the pixel, or None when clear."""
    total = sum(counts.values())
    if counts.get(None, 0) * 2 >= total:
        return None
    return max((n, c) for c, n in counts.items() if c)[1]


def palette_256():
    # The 16 standard colours, then a 6x6x6 colour cube, then a grey ramp.
    colours = list(VGA16)
    levels = (0, 51, 102, 153, 204, 255)
    colours += [(r, g, b) for r in levels for g in levels for b in levels]
    colours += [(8 + 10 * i, 8 + 10 * i, 8 + 10 * i) for i in range(24)]
    return colours + [(0, 0, 0)] * (256 - len(colours))


def row_bytes(bits, width):
    return ((bits * width + 31) // 32) * 4


def and_mask(pixels, size):
    """1 bit per pixel, set where the pixel is transparent; rows bottom-up."""
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray(row_bytes(1, size))
        for x, clear in enumerate(row):
            if clear:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def dib(size, depth, art):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, depth, 0, 0, 0, 0, 0, 0)
    if depth == 32:
        pixels = [[blend(c) for c in row] for row in art]
        body = bytearray()
        for row in reversed(pixels):
            for r, g, b, a in row:
                body += bytes((b, g, r, a))
        mask = and_mask([[p[3] == 0 for p in row] for row in pixels], size)
        return header + bytes(body) + mask
    colours = VGA16 if depth == 4 else palette_256()
    index = {c: i for i, c in reversed(list(enumerate(colours)))}
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
    picked = [[dominant(c) for c in row] for row in art]
    body = bytearray()
    for row in reversed(picked):
        line = bytearray(row_bytes(depth, size))
        for x, colour in enumerate(row):
            i = index[colour] if colour else 0
            if depth == 4:
                line[x // 2] |= i << (4 if x % 2 == 0 else 0)
            else:
                line[x] = i
        body += line
    mask = and_mask([[c is None for c in row] for row in picked], size)
    return header + table + bytes(body) + mask


def build_ico():
    images = []
    for size in SIZES:
        art = render(size)
        for depth in DEPTHS:
            images.append((size, depth, dib(size, depth, art)))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, depth, data in images:
        colour_count = 16 if depth == 4 else 0
        out += struct.pack('<BBBBHHII', size, size, colour_count, 0, 1, depth, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return bytes(out)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: make-icon.py OUTPUT.ico\n')
        return 2
    data = build_ico()
    try:
        with open(argv[1], 'wb') as f:
            f.write(data)
    except OSError as e:
        sys.stderr.write('make-icon.py: cannot write %s: %s\n' % (argv[1], e.strerror))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
