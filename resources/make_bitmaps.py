#!/usr/bin/env python3
"""Draws the device pictures the host shows for this plug-in and writes them
as the BMP files plugin.rc embeds:

  DEVICON.bmp  32 x 32, 24 bits per pixel (the device list icon)
  DEVIMG.bmp   130 x 156, 8 bits per pixel with a 256-colour palette

Standard library only, so the pictures can be redrawn on any build machine.
Usage: make_bitmaps.py [--check] [output folder, default: this script's folder]
--check redraws in memory and fails if the files on disk differ, so an edit
of the drawing that was not rerun is caught.
"""

import math
import os
import struct
import sys

# 4 x 4 samples per pixel: smooth edges even at icon size.
SUB = 4
OFFSETS = [(i + 0.5) / SUB for i in range(SUB)]


class Canvas:
    """RGB float pixels, top row first; shapes are painted over in order."""

    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.rows = [[background] * width for _ in range(height)]

    def paint(self, shape, colour, alpha=1.0):
        inside, (x0, y0, x1, y1) = shape
        x0 = max(0, int(math.floor(x0)))
        y0 = max(0, int(math.floor(y0)))
        x1 = min(self.width, int(math.ceil(x1)))
        y1 = min(self.height, int(math.ceil(y1)))
        for py in range(y0, y1):
            row = self.rows[py]
            for px in range(x0, x1):
                hits = 0
                for sy in OFFSETS:
                    for sx in OFFSETS:
                        if inside(px + sx, py + sy):
                            hits += 1
                if not hits:
                    continue
                cover = alpha * hits / (SUB * SUB)
                c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                old = row[px]
                row[px] = tuple(c[i] * cover + old[i] * (1.0 - cover) for i in range(3))

    def pixels(self):
        """Rows top first, each a list of (r, g, b) bytes."""
        return [[tuple(max(0, min(255, int(round(v)))) for v in p) for p in row]
                for row in self.rows]


# Shapes: (inside(x, y) -> bool, bounding box (x0, y0, x1, y1)).

def circle(cx, cy, r):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
            (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    return (lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
            (cx - rx, cy - ry, cx + rx, cy + ry))


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return x0 <= x <= x1 and y0 <= y <= y1 and dx * dx + dy * dy <= r * r
    return inside, (x0, y0, x1, y1)


def polygon(points):
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                result = not result
        return result
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def stroke(points, width):
    """A polyline of the given width with round joins and ends."""
    half = width / 2.0
    segments = list(zip(points, points[1:]))

    def inside(x, y):
        for (ax, ay), (bx, by) in segments:
            vx, vy = bx - ax, by - ay
            length2 = vx * vx + vy * vy
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / length2))
            dx, dy = x - (ax + t * vx), y - (ay + t * vy)
            if dx * dx + dy * dy <= half * half:
                return True
        return False
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return inside, (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half)


def arc_points(cx, cy, r, start_deg, end_deg, steps=16):
    return [(cx + r * math.cos(math.radians(a)), cy - r * math.sin(math.radians(a)))
            for a in (start_deg + (end_deg - start_deg) * i / steps for i in range(steps + 1))]


def heart(cx, cy, size):
    """The classic heart curve, `size` pixels wide, centred on (cx, cy)."""
    scale = size / 2.3

    def inside(x, y):
        u = (x - cx) / scale
        v = -(y - cy) / scale + 0.15
        return (u * u + v * v - 1.0) ** 3 - u * u * v ** 3 <= 0.0
    return inside, (cx - size / 2, cy - size / 2, cx + size / 2, cy + size / 2)


def minus(a, b):
    return (lambda x, y: a[0](x, y) and not b[0](x, y)), a[1]


def clip(a, b):
    return (lambda x, y: a[0](x, y) and b[0](x, y)), a[1]


# Colours and shading.

def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def vertical(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, max(0.0, min(1.0, (y - y0) / (y1 - y0))))


def horizontal(left, right, x0, x1):
    return lambda x, y: mix(left, right, max(0.0, min(1.0, (x - x0) / (x1 - x0))))


def strap_shade(base, x0, x1):
    """Rubber strap lit from the left: light near one edge, dark at both."""
    def colour(x, y):
        t = (x - x0) / (x1 - x0)
        light = 0.75 + 0.55 * math.sin(math.pi * min(1.0, max(0.0, t))) - 0.25 * t
        return tuple(c * light for c in base)
    return colour


WHITE = (255, 255, 255)
STRAP = (52, 56, 64)
CASE = (34, 36, 42)
SILVER_LIGHT = (236, 238, 242)
SILVER_DARK = (120, 124, 134)
LCD_LIGHT = (196, 208, 184)
LCD_DARK = (160, 176, 150)
INK = (28, 36, 30)
GHOST = (184, 197, 173)
RED = (214, 30, 38)
RED_DARK = (150, 16, 24)
BELT = (70, 86, 112)


# Seven-segment digits for the display.

SEGMENTS = {
    '0': 'abcdef', '1': 'bc', '2': 'abdeg', '3': 'abcdg', '4': 'bcfg',
    '5': 'acdfg', '6': 'acdefg', '7': 'abc', '8': 'abcdefg', '9': 'abcdfg',
}


def segment_shapes(x, y, w, h, t, lit, slant=0.12):
    """Hexagonal segments of one digit in the box (x, y, w, h); slanted like an LCD."""
    g = t * 0.18
    mid = y + h / 2.0

    def hseg(yc):
        x0, x1 = x + g, x + w - g
        return [(x0, yc), (x0 + t / 2, yc - t / 2), (x1 - t / 2, yc - t / 2),
                (x1, yc), (x1 - t / 2, yc + t / 2), (x0 + t / 2, yc + t / 2)]

    def vseg(xc, y0, y1):
        y0, y1 = y0 + g, y1 - g
        return [(xc, y0), (xc + t / 2, y0 + t / 2), (xc + t / 2, y1 - t / 2),
                (xc, y1), (xc - t / 2, y1 - t / 2), (xc - t / 2, y0 + t / 2)]

    top, bottom = y + t / 2, y + h - t / 2
    left, right = x + t / 2, x + w - t / 2
    outlines = {
        'a': hseg(top), 'g': hseg(mid), 'd': hseg(bottom),
        'f': vseg(left, top, mid), 'b': vseg(right, top, mid),
        'e': vseg(left, mid, bottom), 'c': vseg(right, mid, bottom),
    }
    shapes = []
    for name in 'abcdefg':
        pts = [(px + (y + h - py) * slant, py) for px, py in outlines[name]]
        shapes.append((name in lit, polygon(pts)))
    return shapes


def draw_digits(canvas, text, x, y, w, h, t, gap):
    for ch in text:
        for lit, shape in segment_shapes(x, y, w, h, t, SEGMENTS[ch]):
            canvas.paint(shape, INK if lit else GHOST)
        x += w + gap


def pulse_trace(x0, x1, base, height):
    """One heartbeat (P wave, QRS spike, T wave) on a flat line."""
    w = x1 - x0
    shape = [(0.00, 0.0), (0.16, 0.0), (0.21, -0.12), (0.26, 0.0), (0.33, 0.0),
             (0.36, 0.18), (0.42, -1.0), (0.48, 0.42), (0.52, 0.0), (0.62, 0.0),
             (0.69, -0.2), (0.76, 0.0), (1.00, 0.0)]
    return [(x0 + w * fx, base + height * fy) for fx, fy in shape]


# The pictures.

def draw_icon():
    c = Canvas(32, 32, WHITE)
    c.paint(rounded_rect(10.5, -2, 21.5, 34, 2), strap_shade(STRAP, 10.5, 21.5))
    c.paint(circle(16, 30.2, 1.0), (16, 18, 22))
    c.paint(rounded_rect(1.8, 10.5, 6, 14.5, 1.2), SILVER_DARK)
    c.paint(rounded_rect(26, 17.5, 30.2, 21.5, 1.2), RED)
    c.paint(circle(16, 16, 12.5), CASE)
    c.paint(minus(circle(16, 16, 11.3), circle(16, 16, 9.6)),
            vertical(SILVER_LIGHT, SILVER_DARK, 5, 27))
    c.paint(circle(16, 16, 9.6), vertical(LCD_LIGHT, LCD_DARK, 6, 26))
    c.paint(heart(16, 16.3, 12.5), vertical(RED, RED_DARK, 11, 22))
    return c


def draw_image():
    c = Canvas(130, 156, WHITE)
    cx, cy, r = 65.0, 53.0, 43.0

    # Wrist strap: plain piece up to the top edge, holed piece below the case.
    c.paint(rounded_rect(45, -10, 85, 40, 4), strap_shade(STRAP, 45, 85))
    c.paint(rounded_rect(43, 3, 87, 9.5, 2.5), strap_shade((74, 78, 88), 43, 87))
    c.paint(rounded_rect(45, 70, 85, 116, 18), strap_shade(STRAP, 45, 85))
    for y in (103.0, 110.0):
        c.paint(ellipse(65, y, 2.4, 2.0), (16, 18, 22))

    # Buttons, reaching into the case so they sit on its rim.
    for ang, colour in ((148, SILVER_DARK), (212, SILVER_DARK), (32, SILVER_DARK), (-32, RED)):
        bx = cx + (r - 1) * math.cos(math.radians(ang))
        by = cy - (r - 1) * math.sin(math.radians(ang))
        c.paint(rounded_rect(bx - 6, by - 4.5, bx + 6, by + 4.5, 2.2),
                vertical(mix(colour, WHITE, 0.35), colour, by - 4.5, by + 4.5))
    c.paint(circle(cx, cy, r), vertical((60, 64, 72), (20, 22, 26), cy - r, cy + r))
    c.paint(minus(circle(cx, cy, r - 3), circle(cx, cy, r - 7.5)),
            vertical(SILVER_LIGHT, SILVER_DARK, cy - r, cy + r))
    c.paint(circle(cx, cy, r - 7.5), vertical((44, 46, 52), (26, 28, 32), cy - r, cy + r))

    # The display: heart, current heart rate, a beat on the trace.
    lx0, ly0, lx1, ly1 = cx - 27, cy - 22, cx + 27, cy + 22
    c.paint(rounded_rect(lx0 - 1.5, ly0 - 1.5, lx1 + 1.5, ly1 + 1.5, 7), (14, 16, 18))
    c.paint(rounded_rect(lx0, ly0, lx1, ly1, 6), vertical(LCD_LIGHT, LCD_DARK, ly0, ly1))
    c.paint(heart(lx0 + 9, ly0 + 10, 12), vertical(RED, RED_DARK, ly0 + 4, ly0 + 17))
    draw_digits(c, "142", lx0 + 16.5, ly0 + 4, 9.5, 19, 2.6, 2.5)
    c.paint(stroke([(lx0 + 4, ly0 + 27), (lx1 - 4, ly0 + 27)], 0.8), GHOST)
    c.paint(stroke(pulse_trace(lx0 + 4, lx1 - 4, ly0 + 36, 10), 1.6), INK)

    # Chest belt: elastic band, transmitter on it, and the signal it sends up.
    band = [(-6, 127), (20, 134), (45, 137), (85, 137), (110, 134), (136, 127)]
    c.paint(stroke(band, 11), (50, 62, 84))
    c.paint(stroke(band, 7), BELT)
    c.paint(rounded_rect(30, 124, 100, 150, 13), vertical((74, 78, 88), (22, 24, 28), 124, 150))
    c.paint(rounded_rect(33, 126, 97, 147, 11), vertical((58, 62, 70), (30, 32, 38), 126, 147))
    c.paint(heart(65, 136.5, 12), vertical(RED, RED_DARK, 130, 143))
    for rr in (6.0, 11.0, 16.0):
        c.paint(stroke(arc_points(100, 120, rr, 60, 130), 2.0), RED, 0.9)
    return c


# BMP files.

def file_header(size, offset):
    return struct.pack('<2sIHHI', b'BM', size, 0, 0, offset)


def info_header(width, height, bits, image_size, colours):
    # Positive height: rows stored bottom-up. 2835 pixels per metre is 72 dpi.
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, image_size,
                       2835, 2835, colours, 0)


def row_padding(width_bytes):
    return b'\0' * ((4 - width_bytes % 4) % 4)


def bmp_24(pixels):
    height, width = len(pixels), len(pixels[0])
    pad = row_padding(width * 3)
    data = b''.join(b''.join(struct.pack('BBB', b, g, r) for r, g, b in row) + pad
                    for row in reversed(pixels))
    offset = 14 + 40
    return file_header(offset + len(data), offset) + info_header(width, height, 24, len(data), 0) + data


def median_cut(colours, count):
    """Splits the weighted colour set into `count` boxes along their widest channel."""
    boxes = [sorted(colours.items())]
    while len(boxes) < count:
        best, best_range, best_channel = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                values = [c[ch] for c, _ in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, best_channel = i, spread, ch
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda e: (e[0][best_channel], e[0]))
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for j, (_, n) in enumerate(box[:-1]):
            running += n
            cut = j + 1
            if running * 2 >= total:
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[ch] * n for c, n in box) / total)) for ch in range(3)))
    return palette


def bmp_8(pixels):
    height, width = len(pixels), len(pixels[0])
    counts = {}
    for row in pixels:
        for p in row:
            counts[p] = counts.get(p, 0) + 1
    palette = sorted(set(median_cut(counts, 256)))
    nearest = {}
    for colour in counts:
        nearest[colour] = min(range(len(palette)), key=lambda i: (
            sum((palette[i][ch] - colour[ch]) ** 2 for ch in range(3)), i))
    palette += [(0, 0, 0)] * (256 - len(palette))
    table = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    pad = row_padding(width)
    data = b''.join(bytes(nearest[p] for p in row) + pad for row in reversed(pixels))
    offset = 14 + 40 + len(table)
    return file_header(offset + len(data), offset) + info_header(width, height, 8, len(data), 256) + table + data


# What the host and LoadImage expect of each file: width, height, bits, palette size.
FORMATS = {'DEVICON.bmp': (32, 32, 24, 0), 'DEVIMG.bmp': (130, 156, 8, 256)}


def format_problem(name, data):
    """None if `data` is an uncompressed bottom-up BMP of the format in FORMATS."""
    if len(data) < 54 or data[:2] != b'BM':
        return 'not a BMP file'
    size, offset = struct.unpack_from('<I4xI', data, 2)
    header, width, height, planes, bits, compression, image_size, _, _, used = \
        struct.unpack_from('<IiiHHIIiiI', data, 14)
    stride = (width * bits // 8 + 3) // 4 * 4
    palette = used or (1 << bits if bits <= 8 else 0)
    found = (width, height, bits, palette)
    if header != 40 or planes != 1 or compression != 0:
        return 'not a BITMAPINFOHEADER BI_RGB file'
    if found != FORMATS[name]:
        return 'is %dx%d, %d bpp, %d colours; wanted %dx%d, %d bpp, %d colours' % (found + FORMATS[name])
    if size != len(data) or offset != 54 + 4 * palette or image_size != stride * height \
            or len(data) != offset + image_size:
        return 'sizes in the header do not match the data'
    return None


def main(argv):
    check = '--check' in argv
    folders = [a for a in argv if a != '--check']
    folder = folders[0] if folders else os.path.dirname(os.path.abspath(__file__))
    outputs = {
        'DEVICON.bmp': bmp_24(draw_icon().pixels()),
        'DEVIMG.bmp': bmp_8(draw_image().pixels()),
    }
    problems = ['%s: drawn wrongly, %s' % (name, format_problem(name, data))
                for name, data in outputs.items() if format_problem(name, data)]
    for name, data in outputs.items():
        path = os.path.join(folder, name)
        if problems:
            break
        if check:
            try:
                with open(path, 'rb') as f:
                    on_disk = f.read()
            except OSError as e:
                problems.append('%s: %s' % (name, e.strerror))
                continue
            problem = format_problem(name, on_disk)
            if problem:
                problems.append('%s: %s' % (name, problem))
            elif on_disk != data:
                problems.append('%s: differs from the drawing, rerun make_bitmaps.py' % name)
        else:
            with open(path, 'wb') as f:
                f.write(data)
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
