#!/usr/bin/env python3
"""Draws the program's pictures and writes them where the build takes them.

Every picture is drawn here from geometric shapes, sampled 5 x 5 times per
pixel for smooth edges. The window's pictures are drawn at twice their size
at 96 dpi (BASE): the program scales them down, or less often up, to the
screen's scale. Outputs:
  src/ui/artwork_pixels.inc       ARGB arrays for the core (ui/artwork.cc)
  src/platform/win32/kelvane.ico  the exe's icon, 16, 32, 48 and 256 px (the last as PNG)
  packaging/linux/icons/*.png     the same sizes for the Linux icon theme
  docs/artwork/*.png              each picture enlarged, for looking at it

Run it from anywhere: python3 tools/draw_artwork.py
"""
import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SAMPLES = 5


BASE = 2  # pixels per design pixel of the window's pictures


class Canvas:
    """Straight-alpha RGBA pixels, painted with the "over" rule. Shapes are
    given in design pixels, `scale` canvas pixels each."""

    def __init__(self, width, height, background=None, scale=1):
        self.scale = scale
        width, height = width * scale, height * scale
        self.width, self.height = width, height
        fill = (0.0, 0.0, 0.0, 0.0) if background is None else tuple(background) + (1.0,)
        self.px = [[list(fill) for _ in range(width)] for _ in range(height)]

    def paint(self, x, y, colour, alpha):
        if alpha <= 0:
            return
        dst = self.px[y][x]
        out_a = alpha + dst[3] * (1 - alpha)
        for i in range(3):
            dst[i] = (colour[i] * alpha + dst[i] * dst[3] * (1 - alpha)) / out_a
        dst[3] = out_a

    def fill(self, inside, colour, alpha=1.0):
        """Covers the points where inside(x, y) holds; colour is an (r, g, b)
        triple or a function of the point (pixel units, y downwards)."""
        step = 1.0 / SAMPLES
        if self.scale != 1:
            shape, s = inside, self.scale
            inside = lambda x, y: shape(x / s, y / s)  # noqa: E731
            if callable(colour):
                paint = colour
                colour = lambda x, y: paint(x / s, y / s)  # noqa: E731
        for y in range(self.height):
            for x in range(self.width):
                hits = []
                for j in range(SAMPLES):
                    for i in range(SAMPLES):
                        sx, sy = x + (i + 0.5) * step, y + (j + 0.5) * step
                        if inside(sx, sy):
                            hits.append((sx, sy))
                if not hits:
                    continue
                if callable(colour):
                    # The colour at the covered samples' centre.
                    cx = sum(h[0] for h in hits) / len(hits)
                    cy = sum(h[1] for h in hits) / len(hits)
                    c = colour(cx, cy)
                else:
                    c = colour
                self.paint(x, y, c, alpha * len(hits) / SAMPLES ** 2)

    def argb(self):
        """Rows of 0xAARRGGBB words."""
        out = []
        for row in self.px:
            for r, g, b, a in row:
                q = lambda v: max(0, min(255, int(round(v))))
                out.append(q(a * 255) << 24 | q(r) << 16 | q(g) << 8 | q(b))
        return out


# Shapes: predicates over points.

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def segment_distance(x, y, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(x - ax - t * vx, y - ay - t * vy)


def thick_line(ax, ay, bx, by, width):
    return lambda x, y: segment_distance(x, y, ax, ay, bx, by) <= width / 2


def edge_band(points, width):
    """The inner band of a polygon, `width` wide along its outline."""
    inside = polygon(points)
    n = len(points)

    def band(x, y):
        if not inside(x, y):
            return False
        return any(segment_distance(x, y, *points[i], *points[(i + 1) % n]) <= width
                   for i in range(n))
    return band


def both(*shapes):
    return lambda x, y: all(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: shape(x, y) and not cut(x, y)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def vertical(top_colour, bottom_colour, y0, y1):
    return lambda x, y: mix(top_colour, bottom_colour, (y - y0) / (y1 - y0))


# The pictures.

def draw_computer_and_globe(size, px=1):
    """A monitor in front of a blue globe with meridians, drawn in a
    100-unit square scaled to `size` pixels; outlines are `px` pixels wide."""
    c = Canvas(size, size)
    k = size / 100.0

    # The globe, lit from the upper left.
    gx, gy, gr = 60 * k, 40 * k, 38 * k
    deep, light = (18, 52, 140), (120, 185, 250)

    def sphere(x, y):
        nx, ny = (x - gx) / gr, (y - gy) / gr
        nz = math.sqrt(max(0.0, 1 - nx * nx - ny * ny))
        lit = max(0.0, -0.5 * nx - 0.55 * ny + 0.67 * nz)
        colour = mix(deep, light, 0.15 + 0.85 * lit)
        shine = max(0.0, lit - 0.85) / 0.15  # a small highlight
        return mix(colour, (235, 245, 255), shine * 0.8)

    globe = circle(gx, gy, gr)
    c.fill(globe, (12, 34, 96))
    c.fill(circle(gx, gy, gr - 1.1 * px), sphere)

    grid = (180, 225, 255)
    line = max(px, 2.9 * k)
    inner = circle(gx, gy, gr - 1.2 * px)
    for lon in (-60, -30, 0, 30, 60):
        s = math.sin(math.radians(lon))

        def meridian(x, y, s=s):
            dy = (y - gy) / gr
            if abs(dy) >= 1:
                return False
            return abs((x - gx) - gr * s * math.sqrt(1 - dy * dy)) <= line / 2
        c.fill(both(inner, meridian), grid, 0.85)
    for lat in (-45, 0, 45):
        py = gy - gr * math.sin(math.radians(lat))
        c.fill(both(inner, lambda x, y, py=py: abs(y - py) <= line / 2), grid, 0.85)

    # The monitor in front of it: a light case, a dark screen, a stand.
    case_outline = (70, 72, 78)
    c.fill(polygon([(28 * k, 80 * k), (44 * k, 80 * k), (47 * k, 90 * k), (25 * k, 90 * k)]),
           case_outline)
    c.fill(polygon([(29.5 * k, 80 * k), (42.5 * k, 80 * k), (44.8 * k, 88.6 * k),
                    (27.2 * k, 88.6 * k)]), vertical((200, 202, 206), (150, 152, 158), 80 * k, 90 * k))
    c.fill(round_rect(12 * k, 88 * k, 60 * k, 97 * k, 3 * k), case_outline)
    c.fill(round_rect(13.2 * k, 89.2 * k, 58.8 * k, 95.8 * k, 2.2 * k),
           vertical((235, 236, 238), (170, 172, 178), 89 * k, 96 * k))

    c.fill(round_rect(3 * k, 38 * k, 69 * k, 82 * k, 4 * k), case_outline)
    c.fill(round_rect(4.3 * k, 39.3 * k, 67.7 * k, 80.7 * k, 3 * k),
           vertical((246, 246, 244), (192, 194, 198), 39 * k, 81 * k))
    sx0, sy0, sx1, sy1 = 9 * k, 43.5 * k, 63 * k, 75 * k
    c.fill(rect(sx0, sy0, sx1, sy1), (40, 44, 54))
    c.fill(rect(sx0 + 1.1 * px, sy0 + 1.1 * px, sx1 - 0.2 * px, sy1 - 0.2 * px),
           lambda x, y: mix((40, 120, 190), (16, 48, 104), (y - sy0) / (sy1 - sy0)))
    # A soft reflection across the upper left of the screen.
    c.fill(both(rect(sx0 + 1.1 * px, sy0 + 1.1 * px, sx1 - 0.2 * px, sy1 - 0.2 * px),
                lambda x, y: (x - sx0) + 1.6 * (y - sy0) < 30 * k),
           (255, 255, 255), 0.16)
    # The power light.
    c.fill(circle(62 * k, 78.4 * k, max(0.7 * px, 1.3 * k)), (60, 200, 90))
    return c


def draw_arrow():
    """A small light-blue arrow pointing right, with darker edges."""
    c = Canvas(18, 9, scale=BASE)
    shape = [(1.0, 3.0), (10.0, 3.0), (10.0, 0.0), (17.6, 4.5), (10.0, 9.0), (10.0, 6.0),
             (1.0, 6.0)]
    c.fill(polygon(shape), (30, 70, 150))
    c.fill(minus(polygon(shape), edge_band(shape, 1.0)),
           vertical((196, 230, 255), (120, 184, 244), 1, 8))
    return c


PIN_DARK = (64, 66, 70)


def draw_pin():
    """A grey push-pin lying on its side, its needle to the left."""
    c = Canvas(21, 20, scale=BASE)
    # The needle: one pixel row, pointed at its left end.
    c.fill(polygon([(0.8, 10.5), (3.0, 10.0), (8.0, 10.0), (8.0, 11.0), (3.0, 11.0)]),
           (84, 86, 92))
    # The collar where the needle enters the body.
    c.fill(rect(7.0, 6.0, 10.0, 15.0), PIN_DARK)
    c.fill(rect(8.0, 7.0, 9.0, 14.0), vertical((222, 222, 226), (140, 142, 148), 7, 14))
    # The body.
    c.fill(rect(10.0, 8.0, 14.0, 13.0), PIN_DARK)
    c.fill(rect(10.0, 9.0, 14.0, 12.0), vertical((236, 236, 238), (130, 132, 138), 9, 12))
    # The head: a wide disc seen edge-on, lit from the upper left.
    c.fill(round_rect(14.0, 3.0, 19.0, 18.0, 1.5), PIN_DARK)
    c.fill(round_rect(15.0, 4.0, 18.0, 17.0, 0.8),
           lambda x, y: mix((248, 248, 250), (120, 122, 128),
                            (x - 15.0) / 3.0 * 0.45 + (y - 4.0) / 13.0 * 0.55))
    return c


def draw_pin_pushed():
    """A framed, sunken, dotted square with the pin pushed into it, seen
    from the front. Opaque."""
    face = (212, 208, 200)
    c = Canvas(21, 20, background=face, scale=BASE)
    w, h = 21, 20

    def put(x, y, colour):  # one design pixel
        for j in range(BASE):
            for i in range(BASE):
                c.px[y * BASE + j][x * BASE + i][:3] = list(colour)
    # Dotted inside: every other pixel light, as a pressed toggle shows.
    for y in range(2, h - 2):
        for x in range(2, w - 2):
            if (x + y) % 2 == 0:
                put(x, y, (255, 255, 255))
    # Sunken frame: shadow at the top and left, light at the bottom and right.
    for x in range(w):
        put(x, 0, (128, 128, 128))
        put(x, h - 1, (255, 255, 255))
    for y in range(h):
        put(0, y, (128, 128, 128))
        put(w - 1, y, (255, 255, 255))
    for x in range(1, w - 1):
        put(x, 1, (64, 64, 64))
        put(x, h - 2, face)
    for y in range(1, h - 1):
        put(1, y, (64, 64, 64))
        put(w - 2, y, face)

    cx, cy = 10.5, 10.0
    # Its shadow on the dotted ground, then the round head from the front.
    c.fill(circle(cx + 1.2, cy + 1.3, 5.6), (40, 40, 40), 0.35)
    c.fill(circle(cx, cy, 5.6), PIN_DARK)

    def head(x, y):
        d = math.hypot(x - (cx - 1.8), y - (cy - 1.9)) / 7.5
        return mix((250, 250, 252), (118, 120, 126), d)
    c.fill(circle(cx, cy, 4.8), head)
    # The body seen end-on in the middle of the head, and a glint.
    c.fill(circle(cx, cy, 1.9), (110, 112, 118))
    c.fill(circle(cx - 0.3, cy - 0.3, 1.4), (176, 178, 184))
    c.fill(circle(cx - 2.2, cy - 2.3, 1.0), (255, 255, 255), 0.8)
    return c


# Writers.

def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def filtered_rows(rows, step):
    """Each row under the PNG filter whose output looks smallest (the usual
    heuristic: least sum of magnitudes), as its type byte and the row."""
    previous = [0] * len(rows[0])
    for row in rows:
        candidates = []
        for kind in range(5):
            out = bytearray()
            for i, x in enumerate(row):
                a = row[i - step] if i >= step else 0
                b = previous[i]
                c = previous[i - step] if i >= step else 0
                out.append((x - (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]) & 255)
            candidates.append((sum(min(v, 256 - v) for v in out), kind, out))
        _, kind, out = min(candidates)
        yield bytes([kind]) + bytes(out)
        previous = row


def png_bytes(width, height, rows, colour_type, filtered=False):
    """A PNG of 8-bit rows, RGB (colour type 2) or RGBA (6); filtered rows
    compress better, the others stay as they were first written."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    if filtered:
        data = b"".join(filtered_rows(rows, 4 if colour_type == 6 else 3))
    else:
        data = b"".join(b"\0" + bytes(row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(data, 9))
            + chunk(b"IEND", b""))


def byte(v):
    return max(0, min(255, int(round(v))))


def rgba_png(canvas, filtered=False):
    """The picture itself, with its transparency."""
    rows = [[byte(v) for r, g, b, a in row for v in (r, g, b, a * 255)] for row in canvas.px]
    return png_bytes(canvas.width, canvas.height, rows, 6, filtered)


def write_png(path, canvas, scale, grid=True):
    """The picture enlarged `scale` times over a checkerboard (transparency)."""
    rows = []
    for y in range(canvas.height * scale):
        row = []
        for x in range(canvas.width * scale):
            r, g, b, a = canvas.px[y // scale][x // scale]
            check = 200 if ((x // 8) + (y // 8)) % 2 else 236
            px = [c * a + check * (1 - a) for c in (r, g, b)]
            if grid and scale >= 8 and (x % scale == 0 or y % scale == 0):
                px = [v * 0.92 for v in px]
            row += [byte(v) for v in px]
        rows.append(row)
    with open(path, "wb") as f:
        f.write(png_bytes(canvas.width * scale, canvas.height * scale, rows, 2))


def ico_image(canvas):
    """One icon image: a 32-bit bottom-up DIB with its AND mask."""
    w, h = canvas.width, canvas.height
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in reversed(range(h)):
        for word in canvas.argb()[y * w:(y + 1) * w]:
            pixels += struct.pack("<I", word)  # B, G, R, A in memory
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            if canvas.px[y][x][3] < 0.5:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return bytes(header + pixels + mask)


def write_ico(path, canvases):
    # 256 px images are stored as PNG, as Windows expects them, filtered: the
    # icon is part of the exe, whose size counts.
    images = [rgba_png(c, True) if c.width >= 256 else ico_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32, len(data),
                           offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def palette(words, size=256):
    """At most `size` colours for `words` (median cut, weighted by use) and
    each word's index among them."""
    counts = {}
    for w in words:
        counts[w] = counts.get(w, 0) + 1
    channels = lambda w: [(w >> s) & 255 for s in (24, 16, 8, 0)]  # noqa: E731
    boxes = [list(counts)]
    while len(boxes) < size:
        def spread(box):
            return max(max(channels(w)[c] for w in box) - min(channels(w)[c] for w in box) for c in range(4))
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: spread(b) * sum(counts[w] for w in b))
        widest = max(range(4), key=lambda c: max(channels(w)[c] for w in box) - min(channels(w)[c] for w in box))
        box.sort(key=lambda w: channels(w)[widest])
        half, seen, cut = sum(counts[w] for w in box) / 2, 0, 1
        for i, w in enumerate(box[:-1]):
            seen += counts[w]
            if seen >= half:
                cut = i + 1
                break
        boxes.remove(box)
        boxes += [box[:cut], box[cut:]]
    colours, index = [], {}
    for box in boxes:
        total = sum(counts[w] for w in box)
        mean = [round(sum(channels(w)[c] * counts[w] for w in box) / total) for c in range(4)]
        for w in box:
            index[w] = len(colours)
        colours.append(mean[0] << 24 | mean[1] << 16 | mean[2] << 8 | mean[3])
    return colours, [index[w] for w in words]


def write_inc(path, pictures):
    lines = ["// Generated by tools/draw_artwork.py from its drawings; do not edit.",
             "// Each picture is a palette of 0xAARRGGBB colours (alpha 0 is transparent)",
             "// and its pixels row by row as indexes into it: a quarter of the size.", ""]
    for name, canvas in pictures:
        colours, indexes = palette(canvas.argb())
        lines.append("constexpr uint32_t k%sPalette[] = {" % name)
        for i in range(0, len(colours), 6):
            lines.append("    " + " ".join("0x%08X," % w for w in colours[i:i + 6]))
        lines.append("};")
        lines.append("constexpr uint8_t k%sPixels[%d * %d] = {" % (name, canvas.width, canvas.height))
        for i in range(0, len(indexes), 16):
            lines.append("    " + " ".join("%d," % n for n in indexes[i:i + 16]))
        lines.append("};")
        lines.append("")
    with open(path, "w") as f:
        f.write("\n".join(lines))


def main():
    pictures = [
        ("Icon", "icon", draw_computer_and_globe(32)),
        ("Globe", "globe", draw_computer_and_globe(35 * BASE, BASE)),
        ("Arrow", "arrow", draw_arrow()),
        ("Pin", "pin", draw_pin()),
        ("PinPushed", "pin_pushed", draw_pin_pushed()),
    ]
    write_inc(os.path.join(ROOT, "src/ui/artwork_pixels.inc"),
              [(ident, canvas) for ident, _, canvas in pictures])
    icons = [pictures[0][2] if size == 32 else draw_computer_and_globe(size)
             for size in (16, 32, 48, 256)]
    write_ico(os.path.join(ROOT, "src/platform/win32/kelvane.ico"), icons)
    theme = os.path.join(ROOT, "packaging/linux/icons")
    os.makedirs(theme, exist_ok=True)
    for icon in icons:
        with open(os.path.join(theme, "kelvane-%d.png" % icon.width), "wb") as f:
            f.write(rgba_png(icon))
    docs = os.path.join(ROOT, "docs/artwork")
    os.makedirs(docs, exist_ok=True)
    for _, name, canvas in pictures:
        write_png(os.path.join(docs, name + ".png"), canvas, 12 // canvas.scale)


if __name__ == "__main__":
    main()
