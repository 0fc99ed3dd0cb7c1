#!/usr/bin/python3
"""Draws the two small icon fonts of the resource tree with fontTools.

iconfont.ttf (family "iconfont") carries simple shapes at the ends of the code ranges that the
icon helper tells apart; pe-icon-set-weather.ttf (family "pe-icon-set-weather") carries a few
weather signs from U+E900 on. The output is deterministic, so the checked-in fonts can be
regenerated and compared: tools/resources/make_fonts.py [output folder, default resources/font]
"""

import math
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

EM = 1024  # font units per em
ASCENT = 896  # font units
DESCENT = 128  # font units
ADVANCE = 1024  # font units, every glyph is square
FIXED_TIME = 0x7C259DC0  # head.created/modified, seconds since 1904: fixed for reproducible files


def polygon(points):
    """One closed contour; clockwise in y-up font space is filled, counter-clockwise cuts a hole."""
    return [(round(x), round(y)) for x, y in points]


def circle(cx, cy, r, hole=False, steps=48):
    pts = [(cx + r * math.cos(-2 * math.pi * i / steps), cy + r * math.sin(-2 * math.pi * i / steps))
           for i in range(steps)]
    return polygon(pts[::-1] if hole else pts)


def crescent(cx, cy, r, dx, dy, cut, steps=96):
    """The disc of radius r less a disc of radius cut whose centre is shifted by (dx, dy)."""
    away = math.atan2(dy, dx)
    outer = [(cx + r * math.cos(a), cy + r * math.sin(a))
             for a in (away - 2 * math.pi * i / steps for i in range(steps))]
    inner = [(cx + dx + cut * math.cos(a), cy + dy + cut * math.sin(a))
             for a in (away + 2 * math.pi * i / steps for i in range(steps))]
    outer = [(x, y) for x, y in outer if (x - cx - dx) ** 2 + (y - cy - dy) ** 2 > cut * cut]
    inner = [(x, y) for x, y in inner if (x - cx) ** 2 + (y - cy) ** 2 < r * r]
    return polygon(outer + inner)


def rect(x0, y0, x1, y1, hole=False):
    pts = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]
    return polygon(pts[::-1] if hole else pts)


def star(cx, cy, outer, inner, points=5):
    pts = []
    for i in range(points * 2):
        r = outer if i % 2 == 0 else inner
        a = math.pi / 2 - math.pi * i / points
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(pts)


def bar(x0, y0, x1, y1, width):
    """A straight stroke of the given width from (x0, y0) to (x1, y1)."""
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
    return polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])


def glyph_from(contours):
    pen = TTGlyphPen(None)
    for contour in contours:
        pen.moveTo(contour[0])
        for point in contour[1:]:
            pen.lineTo(point)
        pen.closePath()
    return pen.glyph()


C = 448  # font units, centre of the drawing square (x and y)

ICONFONT = {
    0xE501: [rect(128, 0, 768, 640)],                                  # square
    0xE502: [circle(C, 320, 320)],                                     # disc
    0xE792: [polygon([(128, 0), (C, 640), (768, 0)])],                 # triangle
    0xE793: [polygon([(C, 0), (128, 320), (C, 640), (768, 320)])],     # diamond
    0xE8D5: [circle(C, 320, 320), circle(C, 320, 200, hole=True)],     # ring
    0xE8D6: [star(C, 320, 340, 140)],                                  # star
    0xEA5C: [rect(C - 80, 0, C + 80, 640), rect(128, 240, C - 80, 400),
             rect(C + 80, 240, 768, 400)],                             # plus
    0xEA5D: [rect(128, 240, 768, 400)],                                # minus
    0xEAC4: [rect(128, 0, 768, 640), rect(208, 80, 688, 560, hole=True)],  # frame
}


def sun_rays():
    rays = []
    for i in range(8):
        a = math.pi * i / 4
        rays.append(bar(C + 240 * math.cos(a), 320 + 240 * math.sin(a),
                        C + 330 * math.cos(a), 320 + 330 * math.sin(a), 60))
    return rays


WEATHER = {
    0xE900: [circle(C, 320, 170)] + sun_rays(),                                       # sun
    0xE901: [circle(300, 260, 150), circle(500, 330, 200), circle(680, 230, 120),
             rect(150, 110, 800, 260)],                                               # cloud
    0xE902: [circle(C, 220, 200), polygon([(C - 173, 320), (C, 680), (C + 173, 320)])],  # drop
    0xE903: [crescent(C, 320, 320, 180, 100, 260)],                                   # moon
    0xE904: [polygon([(520, 680), (200, 280), (420, 280), (330, -40), (700, 400),
                      (480, 400)])],                                                  # lightning
    0xE905: [bar(C + 320 * math.cos(a), 320 + 320 * math.sin(a),
                 C - 320 * math.cos(a), 320 - 320 * math.sin(a), 70)
             for a in (math.pi / 2, math.pi / 6, -math.pi / 6)],                      # snowflake
}


def build(path, family, glyphs):
    names = {code: "uni%04X" % code for code in glyphs}
    order = [".notdef", "space"] + [names[code] for code in sorted(glyphs)]
    outlines = {".notdef": glyph_from([rect(64, 0, 704, 704), rect(128, 64, 640, 640, hole=True)]),
                "space": glyph_from([])}
    for code, contours in glyphs.items():
        outlines[names[code]] = glyph_from(contours)

    fb = FontBuilder(EM, isTTF=True)
    fb.font.recalcTimestamp = False
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({0x20: "space", **{code: names[code] for code in glyphs}})
    fb.setupGlyf(outlines)
    metrics = {}
    for name in order:
        outline = outlines[name]
        metrics[name] = (ADVANCE, getattr(outline, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    fb.setupNameTable({"familyName": family, "styleName": "Regular",
                       "uniqueFontIdentifier": family + " Regular",
                       "fullName": family, "psName": family.replace(" ", "") + "-Regular",
                       "version": "Version 1.000"})
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
                usWinAscent=ASCENT, usWinDescent=DESCENT, achVendID="DR58")
    fb.setupPost()
    fb.updateHead(created=FIXED_TIME, modified=FIXED_TIME)
    fb.save(path)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "font")
    build(os.path.join(out, "iconfont.ttf"), "iconfont", ICONFONT)
    build(os.path.join(out, "pe-icon-set-weather.ttf"), "pe-icon-set-weather", WEATHER)


if __name__ == "__main__":
    main()
