#!/usr/bin/python3
"""Draws the pictures of the resource tree with nothing but the standard library.

Writes the 18 indicator images of the dark style sheet (qss/psblack/*.png, 40 x 40), the title-bar
logo (images/logo.ico, 128 x 128 orange gears), the write-button picture (images/xiezi.png,
200 x 200 yellow pencil) and the logo again as the desktop icon (install/dr58at.png).
Shapes are described by inside-tests and rasterised with 4 x 4 supersampling.
Usage: tools/resources/make_images.py [resources folder, default resources/]
"""

import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4  # samples per pixel along each axis


def rgb(text, alpha=255):
    return (int(text[1:3], 16), int(text[3:5], 16), int(text[5:7], 16), alpha)


class Canvas:
    """Straight-alpha RGBA pixels, painted shape by shape with source-over blending."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, inside, colour, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        offsets = [(i + 0.5) / SUPERSAMPLE for i in range(SUPERSAMPLE)]
        total = SUPERSAMPLE * SUPERSAMPLE
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = sum(1 for dy in offsets for dx in offsets if inside(x + dx, y + dy))
                if hits:
                    self._blend(x, y, colour, hits / total)

    def _blend(self, x, y, colour, coverage):
        dst = self.pixels[y * self.width + x]
        src_a = colour[3] / 255.0 * coverage
        out_a = src_a + dst[3] * (1 - src_a)
        for c in range(3):
            dst[c] = (colour[c] * src_a + dst[c] * dst[3] * (1 - src_a)) / out_a
        dst[3] = out_a

    def rgba_rows(self):
        """Top-down rows of 8-bit RGBA tuples."""
        for y in range(self.height):
            row = self.pixels[y * self.width:(y + 1) * self.width]
            yield [(round(p[0]), round(p[1]), round(p[2]), round(p[3] * 255)) for p in row]


# ---- inside-tests ------------------------------------------------------------------------------

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_in, r_out):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return inside


def rounded_frame(x0, y0, x1, y1, radius, width):
    outer = rounded_rect(x0, y0, x1, y1, radius)
    inner = rounded_rect(x0 + width, y0 + width, x1 - width, y1 - width, max(0, radius - width))
    return lambda x, y: outer(x, y) and not inner(x, y)


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def stroke(points, width):
    """A polyline of the given width with round joins and ends."""
    half = width / 2.0
    segments = list(zip(points, points[1:]))

    def near(px, py, a, b):
        (ax, ay), (bx, by) = a, b
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        return (px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2 <= half * half
    return lambda x, y: any(near(x, y, a, b) for a, b in segments)


def gear(cx, cy, root, tip, teeth, hole):
    """Trapezoid teeth on a disc, with a round hole in the middle."""
    def inside(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        if d < hole or d > tip:
            return False
        if d <= root:
            return True
        phase = (math.atan2(dy, dx) * teeth / (2 * math.pi)) % 1.0
        half_width = 0.28 - 0.12 * (d - root) / (tip - root)  # tooth narrows towards its tip
        return abs(phase - 0.5) <= half_width
    return inside


def rotated(inside, cx, cy, degrees):
    """The shape turned by the given angle about (cx, cy)."""
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return lambda x, y: inside(cx + (x - cx) * c + (y - cy) * s, cy - (x - cx) * s + (y - cy) * c)


# ---- PNG and ICO -------------------------------------------------------------------------------

def png_bytes(canvas):
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in canvas.rgba_rows())

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico_bytes(canvas):
    """One 32-bit BGRA image with its AND mask, the classic icon layout."""
    rows = list(canvas.rgba_rows())[::-1]  # bottom-up
    xor = b"".join(bytes((b, g, r, a)) for row in rows for (r, g, b, a) in row)
    mask_stride = ((canvas.width + 31) // 32) * 4
    mask = bytearray()
    for row in rows:
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0, 1, 32,
                        len(image), 6 + 16)
    return directory + entry + image


# ---- style sheet indicators (40 x 40) ----------------------------------------------------------

WHITE = rgb("#FFFFFF")
ACCENT = rgb("#478CB6")
FRAME = rgb("#DCDCDC")
DISABLED = rgb("#676767")
DISABLED_FILL = rgb("#4F545B")


def arrow(direction):
    """A filled triangle pointing up, down, left or right."""
    up = [(20, 11), (33, 27), (7, 27)]
    turns = {"top": 0, "right": 90, "bottom": 180, "left": 270}
    canvas = Canvas(40, 40)
    canvas.fill(rotated(polygon(up), 20, 20, turns[direction]), WHITE)
    return canvas


def branch(open_):
    points = [(10, 14), (30, 14), (20, 28)] if open_ else [(14, 10), (28, 20), (14, 30)]
    canvas = Canvas(40, 40)
    canvas.fill(polygon(points), FRAME)
    return canvas


def chevron(previous):
    points = [(25, 8), (13, 20), (25, 32)] if previous else [(15, 8), (27, 20), (15, 32)]
    canvas = Canvas(40, 40)
    canvas.fill(stroke(points, 5), WHITE)
    return canvas


def checkbox(mark, disabled):
    canvas = Canvas(40, 40)
    border = DISABLED if disabled else FRAME
    if mark:
        canvas.fill(rounded_rect(3, 3, 37, 37, 6), DISABLED_FILL if disabled else ACCENT)
    canvas.fill(rounded_frame(3, 3, 37, 37, 6, 3), border)
    symbol = rgb("#A0A0A0") if disabled else WHITE
    if mark == "checked":
        canvas.fill(stroke([(10, 21), (17, 28), (30, 13)], 5), symbol)
    elif mark == "parcial":
        canvas.fill(rounded_rect(10, 17, 30, 23, 2), symbol)
    return canvas


def radiobutton(checked, disabled):
    canvas = Canvas(40, 40)
    if checked:
        canvas.fill(circle(20, 20, 17), DISABLED_FILL if disabled else ACCENT)
        canvas.fill(circle(20, 20, 7), rgb("#A0A0A0") if disabled else WHITE)
    canvas.fill(ring(20, 20, 14, 17), DISABLED if disabled else FRAME)
    return canvas


def indicators():
    images = {"add_" + d: arrow(d) for d in ("top", "bottom", "left", "right")}
    images["branch_open"] = branch(True)
    images["branch_close"] = branch(False)
    images["calendar_prevmonth"] = chevron(True)
    images["calendar_nextmonth"] = chevron(False)
    for mark, name in ((None, "unchecked"), ("checked", "checked"), ("parcial", "parcial")):
        images["checkbox_" + name] = checkbox(mark, False)
        images["checkbox_%s_disable" % name] = checkbox(mark, True)
    for checked, name in ((False, "unchecked"), (True, "checked")):
        images["radiobutton_" + name] = radiobutton(checked, False)
        images["radiobutton_%s_disable" % name] = radiobutton(checked, True)
    return images


# ---- pictures ----------------------------------------------------------------------------------

def logo():
    """Two meshing orange gears."""
    canvas = Canvas(128, 128)
    canvas.fill(gear(50, 54, 31, 41, 10, 12), rgb("#F28C28"), (8, 12, 92, 96))
    canvas.fill(gear(95, 95, 18, 26, 8, 7), rgb("#E0641A"), (68, 68, 122, 122))
    return canvas


def pencil():
    """A yellow pencil lying from the lower left (tip) to the upper right (eraser)."""
    canvas = Canvas(200, 200)
    cx = cy = 100
    # Drawn along the x axis around the centre, then turned by 45 degrees.
    parts = [
        (polygon([(20, 100), (52, 84), (52, 116)]), rgb("#F2D3A2")),           # wood cone
        (polygon([(20, 100), (31, 94.5), (31, 105.5)]), rgb("#333333")),       # graphite
        (rounded_rect(52, 84, 150, 116, 2), rgb("#F7C51E")),                   # body
        (rounded_rect(52, 95, 150, 105, 1), rgb("#E0A800")),                   # facet stripe
        (rounded_rect(150, 83, 166, 117, 2), rgb("#B8B8C0")),                  # ferrule
        (rounded_rect(164, 84, 182, 116, 7), rgb("#EF7F8A")),                  # eraser
    ]
    for inside, colour in parts:
        canvas.fill(rotated(inside, cx, cy, -45), colour)
    return canvas


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")
    for name, canvas in indicators().items():
        write(os.path.join(root, "qss", "psblack", name + ".png"), png_bytes(canvas))
    gears = logo()
    write(os.path.join(root, "images", "logo.ico"), ico_bytes(gears))
    write(os.path.join(root, "install", "dr58at.png"), png_bytes(gears))
    write(os.path.join(root, "images", "xiezi.png"), png_bytes(pencil()))


if __name__ == "__main__":
    main()
