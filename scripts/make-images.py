#!/usr/bin/env python3
"""Draws every picture of the resource folder and writes it as .ico or .gif.

The pages of a generated site show small pictures for element kinds, scopes,
module kinds and the lines of the object-model tree; the workbench shows the
same pictures in its project tree. All of them are drawn here from a few
vector shapes, so a change of colour or shape is made once and the whole set
is written again:

    python3 scripts/make-images.py            # writes into Ressources/src/images
    python3 scripts/make-images.py --preview sheet.png   # also a 4x contact sheet

Only the Python standard library is used: shapes are rasterised with 4x4
supersampling, icons are written as ICO files holding 32-bit DIB frames with
alpha (16x16 and 32x32, plus 48x48 for the member-page header icons; the DIB
form is read by every browser, by Windows and by Qt's ICO reader), connector
lines as GIF89a with a transparent background (a small LZW encoder below),
and the preview sheet as PNG (zlib).

Output: {Kinds}_{Scope}.ico (ten element kinds by five scopes), {Kind}.ico and
{Kind}2.ico (seven module kinds), parchild/parmult/parlower/parnone.gif (the
object-model tree lines, 16x20), and tree/{key}.ico, one picture per image key
of the workbench's project tree (kept in a sub-folder so that "classes.ico"
and "Classes_Public.ico"-style names never meet on a case-insensitive disk).
"""

import argparse
import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Shapes. Every shape answers whether a point of the 16x16 design grid lies
# inside it and gives a bounding box so the rasteriser can skip pixels.
# ---------------------------------------------------------------------------


class Shape:
    def bbox(self):
        raise NotImplementedError

    def inside(self, x, y):
        raise NotImplementedError


class Rect(Shape):
    """Axis-aligned rectangle with optional rounded corners of radius r."""

    def __init__(self, x0, y0, x1, y1, r=0.0):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r

    def bbox(self):
        return self.x0, self.y0, self.x1, self.y1

    def inside(self, x, y):
        if x < self.x0 or x > self.x1 or y < self.y0 or y > self.y1:
            return False
        r = self.r
        if r <= 0:
            return True
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


class Circle(Shape):
    """Disc, or a ring when r_in is given; an ellipse when ry is given."""

    def __init__(self, cx, cy, r, r_in=0.0, ry=None):
        self.cx, self.cy, self.r, self.r_in = cx, cy, r, r_in
        self.ry = r if ry is None else ry

    def bbox(self):
        return self.cx - self.r, self.cy - self.ry, self.cx + self.r, self.cy + self.ry

    def inside(self, x, y):
        dx = (x - self.cx) / self.r
        dy = (y - self.cy) / self.ry
        d = dx * dx + dy * dy
        if d > 1.0:
            return False
        if self.r_in <= 0:
            return True
        k = self.r_in / self.r
        return d >= k * k


class Polygon(Shape):
    def __init__(self, points):
        self.points = points

    def bbox(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return min(xs), min(ys), max(xs), max(ys)

    def inside(self, x, y):
        inside = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y):
                xc = xi + (y - yi) * (xj - xi) / (yj - yi)
                if x < xc:
                    inside = not inside
            j = i
        return inside


class Line(Shape):
    """Segment of width w with round ends (a capsule)."""

    def __init__(self, x0, y0, x1, y1, w):
        self.x0, self.y0, self.x1, self.y1, self.w = x0, y0, x1, y1, w

    def bbox(self):
        h = self.w / 2
        return (min(self.x0, self.x1) - h, min(self.y0, self.y1) - h,
                max(self.x0, self.x1) + h, max(self.y0, self.y1) + h)

    def inside(self, x, y):
        dx, dy = self.x1 - self.x0, self.y1 - self.y0
        ll = dx * dx + dy * dy
        t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - self.x0) * dx + (y - self.y0) * dy) / ll))
        px, py = self.x0 + t * dx, self.y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (self.w / 2) ** 2


class Union(Shape):
    def __init__(self, *shapes):
        self.shapes = shapes

    def bbox(self):
        boxes = [s.bbox() for s in self.shapes]
        return (min(b[0] for b in boxes), min(b[1] for b in boxes),
                max(b[2] for b in boxes), max(b[3] for b in boxes))

    def inside(self, x, y):
        return any(s.inside(x, y) for s in self.shapes)


class Clip(Shape):
    """The part of a shape that lies inside a clipping shape."""

    def __init__(self, shape, clip):
        self.shape, self.clip = shape, clip

    def bbox(self):
        return self.shape.bbox()

    def inside(self, x, y):
        return self.clip.inside(x, y) and self.shape.inside(x, y)


def stroke(points, w, closed=True):
    """Outline of a polygon as a union of capsules."""
    segs = []
    n = len(points)
    last = n if closed else n - 1
    for i in range(last):
        a, b = points[i], points[(i + 1) % n]
        segs.append(Line(a[0], a[1], b[0], b[1], w))
    return Union(*segs)


def hexcolor(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


WHITE = hexcolor("ffffff")

# A picture is a list of layers: (shape, colour) paints, (shape, None) erases
# what is below (used for the gap around a scope badge).

# ---------------------------------------------------------------------------
# Rasteriser
# ---------------------------------------------------------------------------

SUB = 4  # samples per pixel and axis


def render(layers, size, shift=(0.0, 0.0), scale=1.0):
    """Renders layers drawn on the 16-unit grid into size x size RGBA rows."""
    unit = size / 16.0
    offsets = [(i + 0.5) / SUB for i in range(SUB)]
    prepared = []
    for shape, colour in layers:
        x0, y0, x1, y1 = shape.bbox()
        prepared.append((shape, colour,
                         (x0 * scale + shift[0]) * unit, (y0 * scale + shift[1]) * unit,
                         (x1 * scale + shift[0]) * unit, (y1 * scale + shift[1]) * unit))
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            active = [p for p in prepared
                      if p[2] <= px + 1 and p[4] >= px and p[3] <= py + 1 and p[5] >= py]
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied sum over samples
            if active:
                for oy in offsets:
                    for ox in offsets:
                        gx = ((px + ox) / unit - shift[0]) / scale
                        gy = ((py + oy) / unit - shift[1]) / scale
                        r = g = b = a = 0.0
                        for shape, colour, *_ in active:
                            if not shape.inside(gx, gy):
                                continue
                            if colour is None:
                                r = g = b = a = 0.0
                                continue
                            ca = colour[3] / 255.0
                            r = colour[0] * ca + r * (1 - ca)
                            g = colour[1] * ca + g * (1 - ca)
                            b = colour[2] * ca + b * (1 - ca)
                            a = ca + a * (1 - ca)
                        acc[0] += r
                        acc[1] += g
                        acc[2] += b
                        acc[3] += a
            n = SUB * SUB
            a = acc[3] / n
            if a <= 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / n / a), round(acc[1] / n / a),
                            round(acc[2] / n / a), round(a * 255)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# Writers
# ---------------------------------------------------------------------------


def ico_bytes(frames):
    """ICO file of 32-bit DIB frames (BGRA rows bottom-up plus an AND mask)."""
    images = []
    for rows in frames:
        size = len(rows)
        xor = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                             len(xor) + len(mask), 0, 0, 0, 0)
        images.append((size, header + bytes(xor) + bytes(mask)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def png_bytes(rows):
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def lzw_encode(indices, min_code_size):
    """GIF flavour of LZW: variable code width from min_code_size + 1 to 12 bits."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, width):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    width = min_code_size + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    emit(clear, width)
    prefix = ()
    for index in indices:
        candidate = prefix + (index,)
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix], width)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            width = min_code_size + 1
        prefix = (index,)
    if prefix:
        emit(table[prefix], width)
    emit(end, width)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def gif_bytes(pixels, palette, transparent=0):
    """GIF89a of palette indices (rows of ints); palette index 0 is transparent."""
    height, width = len(pixels), len(pixels[0])
    bits = max(1, (len(palette) - 1).bit_length())
    table_size = 1 << bits
    pal = list(palette) + [(0, 0, 0)] * (table_size - len(palette))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    for r, g, b in pal:
        out += bytes((r, g, b))
    out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, transparent, 0)
    out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
    min_code = max(2, bits)
    data = lzw_encode([i for row in pixels for i in row], min_code)
    out.append(min_code)
    for i in range(0, len(data), 255):
        block = data[i:i + 255]
        out.append(len(block))
        out += block
    out += b"\x00;"
    return bytes(out)


# ---------------------------------------------------------------------------
# The pictures
# ---------------------------------------------------------------------------


def kind_glyph(kind):
    """Layers of the glyph of one element kind, on the full 16-unit grid."""
    if kind == "Constants":
        c = hexcolor("4a6fa5")
        return [(Rect(1.5, 1.5, 14.5, 14.5, 2.5), hexcolor("2f4d7a")),
                (Rect(2.5, 2.5, 13.5, 13.5, 1.7), c),
                (Rect(4.5, 5.3, 11.5, 7.1, 0.4), WHITE),
                (Rect(4.5, 8.9, 11.5, 10.7, 0.4), WHITE)]
    if kind == "Declarations":
        return [(Rect(1.5, 1.5, 14.5, 14.5, 2.5), hexcolor("a85a12")),
                (Rect(2.5, 2.5, 13.5, 13.5, 1.7), hexcolor("e08a2e")),
                (Line(4.8, 11.2, 10.2, 5.8, 1.9), WHITE),
                (Polygon([(6.6, 4.2), (11.8, 4.2), (11.8, 9.4)]), WHITE)]
    if kind == "Enums":
        dark = hexcolor("8a6d0b")
        return [(Rect(1.5, 1.5, 14.5, 14.5, 2.5), dark),
                (Rect(2.5, 2.5, 13.5, 13.5, 1.7), hexcolor("d8b23a")),
                (Circle(5.2, 5.0, 1.0), WHITE), (Rect(7.0, 4.2, 11.8, 5.8, 0.5), WHITE),
                (Circle(5.2, 8.0, 1.0), WHITE), (Rect(7.0, 7.2, 11.8, 8.8, 0.5), WHITE),
                (Circle(5.2, 11.0, 1.0), WHITE), (Rect(7.0, 10.2, 11.8, 11.8, 0.5), WHITE)]
    if kind == "Events":
        bolt = [(9.6, 0.8), (3.2, 9.0), (7.4, 9.0), (5.6, 15.2), (12.8, 6.4), (8.6, 6.4), (11.2, 0.8)]
        return [(Union(Polygon(bolt), stroke(bolt, 1.4)), hexcolor("a86a00")),
                (Polygon(bolt), hexcolor("f2b01e"))]
    if kind == "Functions":
        gem = [(8, 1.0), (15.0, 8), (8, 15.0), (1.0, 8)]
        return [(Union(Polygon(gem), stroke(gem, 1.2)), hexcolor("6e1f6a")),
                (Polygon(gem), hexcolor("a23b9c")),
                (Polygon([(8, 2.6), (8, 8), (2.6, 8)]), hexcolor("c86fc2"))]
    if kind == "Implementations":
        dark = hexcolor("1b6b61")
        return [(Line(8, 9.0, 8, 15.0, 2.4), dark),
                (Circle(8, 5.6, 4.6), dark),
                (Circle(8, 5.6, 3.5), hexcolor("2a9d8f")),
                (Circle(8, 5.6, 1.7), WHITE)]
    if kind == "Properties":
        tag = [(1.5, 3.5), (9.8, 3.5), (14.6, 8), (9.8, 12.5), (1.5, 12.5)]
        return [(Union(Polygon(tag), stroke(tag, 1.2)), hexcolor("215d9c")),
                (Polygon(tag), hexcolor("3d8bd9")),
                (Circle(10.2, 8, 1.3), WHITE),
                (Rect(3.5, 6.0, 7.5, 7.3, 0.4), hexcolor("d6e7f8")),
                (Rect(3.5, 8.7, 6.5, 10.0, 0.4), hexcolor("d6e7f8"))]
    if kind == "Subroutines":
        tri = [(3.6, 1.8), (14.0, 8), (3.6, 14.2)]
        return [(Union(Polygon(tri), stroke(tri, 1.4)), hexcolor("22692f")),
                (Polygon(tri), hexcolor("3fa653"))]
    if kind == "Types":
        dark, fill = hexcolor("6b4a1f"), hexcolor("c08442")
        layers = []
        for x0, y0 in ((1.5, 1.5), (8.5, 1.5), (1.5, 8.5), (8.5, 8.5)):
            layers.append((Rect(x0, y0, x0 + 6, y0 + 6, 1.2), dark))
            layers.append((Rect(x0 + 0.9, y0 + 0.9, x0 + 5.1, y0 + 5.1, 0.6), fill))
        return layers
    if kind == "Variables":
        top = [(8, 1.2), (14.6, 4.5), (8, 7.8), (1.4, 4.5)]
        left = [(1.4, 4.5), (8, 7.8), (8, 14.8), (1.4, 11.5)]
        right = [(8, 7.8), (14.6, 4.5), (14.6, 11.5), (8, 14.8)]
        outline = [(8, 1.2), (14.6, 4.5), (14.6, 11.5), (8, 14.8), (1.4, 11.5), (1.4, 4.5)]
        return [(stroke(outline, 1.0), hexcolor("0e5566")),
                (Polygon(top), hexcolor("86d6e8")),
                (Polygon(left), hexcolor("21a0bd")),
                (Polygon(right), hexcolor("137a91"))]
    raise KeyError(kind)


ELEMENT_KINDS = ["Constants", "Declarations", "Enums", "Events", "Functions",
                 "Implementations", "Properties", "Subroutines", "Types", "Variables"]
SCOPES = ["Global", "Public", "Private", "Friend", "None"]


def scope_badge(scope):
    """Layers of the scope mark in the lower right corner (none for Public)."""
    if scope == "Public":
        return []
    if scope == "Private":
        gap = Union(Rect(7.6, 7.0, 16, 16, 1.5))
        shackle = Clip(Circle(12.0, 10.6, 2.6, 1.5), Rect(0, 0, 16, 10.8))
        legs = Union(Rect(9.4, 10.4, 10.5, 11.6), Rect(13.5, 10.4, 14.6, 11.6))
        return [(gap, None),
                (Union(shackle, legs), hexcolor("5f6670")),
                (Rect(8.6, 11.0, 15.4, 15.6, 0.9), hexcolor("7a5a00")),
                (Rect(9.4, 11.8, 14.6, 14.8, 0.5), hexcolor("f0c23b")),
                (Rect(11.5, 12.4, 12.5, 14.2, 0.4), hexcolor("7a5a00"))]
    if scope == "Friend":
        gap = Union(Circle(10.0, 12.5, 3.6), Circle(13.4, 12.5, 3.6), Rect(8, 9, 16, 16, 1.5))
        return [(gap, None),
                (Union(Circle(10.2, 10.3, 1.55), Clip(Circle(10.2, 15.4, 2.9), Rect(0, 0, 16, 15.6))),
                 hexcolor("1f5fa8")),
                (Union(Circle(13.6, 10.3, 1.55), Clip(Circle(13.6, 15.4, 2.9), Rect(0, 0, 16, 15.6))),
                 hexcolor("24884c")),
                (Clip(Circle(13.6, 15.4, 2.0), Rect(0, 0, 16, 15.6)), hexcolor("35b868")),
                (Clip(Circle(10.2, 15.4, 2.0), Rect(0, 0, 16, 15.6)), hexcolor("3a86d9"))]
    if scope == "Global":
        return [(Circle(11.9, 11.9, 4.6), None),
                (Circle(11.9, 11.9, 3.9), hexcolor("1d5fb0")),
                (Circle(11.9, 11.9, 3.1), hexcolor("3f8fe8")),
                (Clip(Union(Polygon([(8.6, 10.2), (11.2, 8.8), (12.4, 10.4), (11.0, 12.0),
                                     (11.6, 14.4), (10.0, 14.6), (8.8, 12.6)]),
                            Polygon([(13.0, 11.0), (15.2, 10.6), (15.0, 13.8), (13.4, 13.2)])),
                      Circle(11.9, 11.9, 3.1)), hexcolor("49b35c"))]
    if scope == "None":
        return [(Circle(12.2, 12.2, 3.6), None),
                (Circle(12.2, 12.2, 2.6), hexcolor("7d848c")),
                (Circle(12.2, 12.2, 1.8), hexcolor("aeb4ba"))]
    raise KeyError(scope)


def module_glyph(kind):
    """Layers of the glyph of one module kind."""
    if kind == "Class":
        dark = hexcolor("7a4b10")
        return [(Rect(1.5, 1.5, 14.5, 14.5, 1.2), dark),
                (Rect(2.5, 2.5, 13.5, 13.5, 0.5), hexcolor("fff8ec")),
                (Rect(2.5, 2.5, 13.5, 6.2, 0.5), hexcolor("eca13a")),
                (Rect(2.5, 6.2, 13.5, 7.0), dark),
                (Rect(2.5, 10.0, 13.5, 10.8), dark),
                (Rect(4.0, 8.0, 10.5, 9.0), hexcolor("c08442")),
                (Rect(4.0, 11.8, 11.5, 12.8), hexcolor("c08442"))]
    if kind == "Form":
        dark = hexcolor("1f4c80")
        return [(Rect(0.8, 2.0, 15.2, 14.5, 1.2), dark),
                (Rect(1.8, 3.0, 14.2, 13.5, 0.5), WHITE),
                (Rect(1.8, 3.0, 14.2, 6.0, 0.5), hexcolor("3a78c2")),
                (Rect(11.6, 3.9, 13.2, 5.2, 0.3), WHITE),
                (Rect(3.5, 7.8, 12.5, 9.2, 0.3), hexcolor("c9d6e6")),
                (Rect(8.5, 10.6, 12.5, 12.3, 0.4), hexcolor("8fa9c9"))]
    if kind == "Module":
        page = [(2.5, 1.0), (10.0, 1.0), (13.5, 4.5), (13.5, 15.0), (2.5, 15.0)]
        return [(Union(Polygon(page), stroke(page, 1.1)), hexcolor("4f5d6b")),
                (Polygon(page), WHITE),
                (Polygon([(10.0, 1.0), (10.0, 4.5), (13.5, 4.5)]), hexcolor("c7cfd8")),
                (Rect(4.3, 5.6, 9.0, 6.7, 0.3), hexcolor("3a78c2")),
                (Rect(5.8, 8.2, 11.8, 9.3, 0.3), hexcolor("3fa653")),
                (Rect(5.8, 10.8, 10.5, 11.9, 0.3), hexcolor("3a78c2")),
                (Rect(4.3, 13.0, 8.0, 14.0, 0.3), hexcolor("3a78c2"))]
    if kind == "PropertyPage":
        dark = hexcolor("1b6b61")
        return [(Rect(1.5, 1.5, 7.5, 6.0, 1.0), dark),
                (Rect(2.5, 2.5, 6.5, 6.0, 0.5), hexcolor("2a9d8f")),
                (Rect(1.0, 4.5, 15.0, 14.8, 1.2), dark),
                (Rect(2.0, 5.5, 14.0, 13.8, 0.5), WHITE),
                (Rect(2.0, 5.5, 14.0, 6.3), hexcolor("2a9d8f")),
                (Rect(7.6, 6.3, 8.3, 13.8), hexcolor("b9d9d4")),
                (Rect(3.2, 7.6, 6.6, 8.6), hexcolor("5f6670")),
                (Rect(9.2, 7.6, 12.8, 8.6), hexcolor("2a9d8f")),
                (Rect(3.2, 10.0, 6.6, 11.0), hexcolor("5f6670")),
                (Rect(9.2, 10.0, 12.0, 11.0), hexcolor("2a9d8f")),
                (Rect(3.2, 12.2, 6.0, 13.0), hexcolor("5f6670"))]
    if kind == "UserControl":
        piece = Union(Rect(1.5, 4.5, 11.5, 14.5, 1.0), Circle(6.5, 3.4, 2.3), Circle(12.6, 9.5, 2.3))
        inner = Union(Rect(2.5, 5.5, 10.5, 13.5, 0.5), Circle(6.5, 3.4, 1.3), Circle(12.6, 9.5, 1.3),
                      Rect(5.2, 3.4, 7.8, 6.0), Rect(10.0, 8.2, 12.6, 10.8))
        return [(piece, hexcolor("4a2f91")),
                (inner, hexcolor("7a5cc7")),
                (Rect(3.6, 6.6, 6.6, 8.0, 0.5), hexcolor("a995e3"))]
    if kind == "UserDocument":
        page = [(2.5, 1.0), (10.0, 1.0), (13.5, 4.5), (13.5, 15.0), (2.5, 15.0)]
        dark = hexcolor("0e6655")
        return [(Union(Polygon(page), stroke(page, 1.1)), dark),
                (Polygon(page), WHITE),
                (Polygon([(10.0, 1.0), (10.0, 4.5), (13.5, 4.5)]), hexcolor("a3d9cc")),
                (Rect(4.0, 6.0, 12.0, 8.2, 0.4), hexcolor("16a085")),
                (Rect(4.0, 9.6, 8.0, 13.2, 0.4), hexcolor("48c9b0")),
                (Rect(9.0, 9.6, 12.0, 10.6, 0.3), hexcolor("5f6670")),
                (Rect(9.0, 12.0, 12.0, 13.0, 0.3), hexcolor("5f6670"))]
    if kind == "Designer":
        dark = hexcolor("4d5656")
        return [(Rect(1.0, 1.5, 15.0, 14.5, 1.2), dark),
                (Rect(2.0, 2.5, 14.0, 13.5, 0.5), WHITE),
                (Rect(2.0, 2.5, 14.0, 5.0, 0.5), hexcolor("95a5a6")),
                (Circle(5.5, 9.0, 2.2), hexcolor("e67e22")),
                (Rect(8.8, 7.0, 12.8, 8.0), hexcolor("5f6670")),
                (Rect(8.8, 9.5, 12.8, 10.5), hexcolor("5f6670")),
                (Rect(3.5, 11.8, 12.8, 12.6), hexcolor("bdc3c7"))]
    raise KeyError(kind)


MODULE_KINDS = ["Class", "Form", "Module", "PropertyPage", "UserControl", "UserDocument",
                "Designer"]


def tile(layers):
    """A module glyph on a light rounded tile, for the member-page header."""
    return [(Rect(0.3, 0.3, 15.7, 15.7, 3.0), hexcolor("b8c7d8")),
            (Rect(1.0, 1.0, 15.0, 15.0, 2.5), hexcolor("eef3f8"))], layers


def tree_glyph(key):
    """Layers of the tree pictures that have no element or module counterpart."""
    if key == "project":
        top = [(8, 1.5), (15, 4.6), (8, 7.7), (1, 4.6)]
        left = [(1, 4.6), (8, 7.7), (8, 15), (1, 11.9)]
        right = [(8, 7.7), (15, 4.6), (15, 11.9), (8, 15)]
        outline = [(8, 1.5), (15, 4.6), (15, 11.9), (8, 15), (1, 11.9), (1, 4.6)]
        return [(stroke(outline, 1.0), hexcolor("6b4a1f")),
                (Polygon(top), hexcolor("e7c28f")),
                (Polygon(left), hexcolor("c9964f")),
                (Polygon(right), hexcolor("a8773a")),
                (Polygon([(4.2, 3.1), (11.0, 6.2), (11.0, 7.4), (4.2, 4.3)]), hexcolor("3a78c2")),
                (Polygon([(11.0, 6.2), (11.8, 5.8), (11.8, 7.0), (11.0, 7.4)]), hexcolor("3a78c2"))]
    if key == "references":
        layers = []
        for x0, w, h, fill, dark in ((1.2, 4.0, 12.5, "3a78c2", "1f4c80"),
                                     (5.6, 4.4, 11.0, "c8463d", "7f241e"),
                                     (10.4, 4.2, 13.0, "3fa653", "22692f")):
            y0 = 15.0 - h
            layers.append((Rect(x0, y0, x0 + w, 15.0, 0.6), hexcolor(dark)))
            layers.append((Rect(x0 + 0.8, y0 + 0.8, x0 + w - 0.8, 14.2, 0.3), hexcolor(fill)))
            layers.append((Rect(x0 + 0.8, y0 + 2.2, x0 + w - 0.8, y0 + 3.0), hexcolor("f2e6c9")))
        return layers
    if key == "objects":
        dark = hexcolor("7f241e")
        return [(Rect(5.0, 1.8, 11.0, 6.0, 1.5), dark),
                (Rect(6.2, 3.0, 9.8, 6.0, 0.6), None),
                (Rect(1.0, 5.0, 15.0, 14.5, 1.2), dark),
                (Rect(2.0, 6.0, 14.0, 13.5, 0.6), hexcolor("d9534a")),
                (Rect(2.0, 6.0, 14.0, 8.6), hexcolor("b23b33")),
                (Rect(6.6, 7.4, 9.4, 10.0, 0.4), hexcolor("f2c14e")),
                (Rect(7.3, 8.1, 8.7, 9.3), hexcolor("7f241e"))]
    raise KeyError(key)


def element_layers(kind, scope):
    return kind_glyph(kind) + scope_badge(scope)


# ---------------------------------------------------------------------------
# Connector lines of the object-model tree (16 x 20, dotted grey)
# ---------------------------------------------------------------------------

TREE_W, TREE_H = 16, 20
TREE_X, TREE_Y = 7, 10


def connector(kind):
    px = [[0] * TREE_W for _ in range(TREE_H)]

    def vline(y0, y1):
        for y in range(y0, y1):
            if y % 2 == 0:
                px[y][TREE_X] = 1

    def hline(x0, x1):
        for x in range(x0, x1):
            if x % 2 == 1:
                px[TREE_Y][x] = 1

    if kind == "parmult":
        vline(0, TREE_H)
        hline(TREE_X, TREE_W)
    elif kind == "parchild":
        vline(0, TREE_Y + 1)
        hline(TREE_X, TREE_W)
    elif kind == "parlower":
        vline(0, TREE_H)
    return px


TREE_PALETTE = [(255, 255, 255), (128, 134, 140)]

# ---------------------------------------------------------------------------


def icon(layers, sizes=(16, 32)):
    return ico_bytes([render(layers, s) for s in sizes])


def tile_icon(layers, sizes=(16, 32)):
    back, front = tile(layers)
    frames = []
    for s in sizes:
        # the glyph shrinks to 80 % and stays centred on the tile
        frames.append(render(back + [(ScaledShape(sh, 0.78, 1.76), c) for sh, c in front], s))
    return ico_bytes(frames)


class ScaledShape(Shape):
    """A shape drawn smaller: point p maps to (p - offset) / factor."""

    def __init__(self, shape, factor, offset):
        self.shape, self.factor, self.offset = shape, factor, offset

    def bbox(self):
        x0, y0, x1, y1 = self.shape.bbox()
        f, o = self.factor, self.offset
        return x0 * f + o, y0 * f + o, x1 * f + o, y1 * f + o

    def inside(self, x, y):
        return self.shape.inside((x - self.offset) / self.factor, (y - self.offset) / self.factor)


TREE_SUFFIX = {"Global": "_global", "Public": "_public", "Private": "_private",
               "Friend": "_friend", "None": "_noscope"}
TREE_MODULE_KEYS = {"forms": "Form", "modules": "Module", "classes": "Class",
                    "usercontrols": "UserControl", "propertypages": "PropertyPage",
                    "userdocuments": "UserDocument", "designers": "Designer"}


def build(out_dir):
    """Returns {relative path: bytes} for every picture."""
    files = {}
    for kind in ELEMENT_KINDS:
        for scope in SCOPES:
            files[f"{kind}_{scope}.ico"] = icon(element_layers(kind, scope))
    for kind in MODULE_KINDS:
        files[f"{kind}.ico"] = icon(module_glyph(kind))
        files[f"{kind}2.ico"] = tile_icon(module_glyph(kind), sizes=(16, 32, 48))
    for name in ("parchild", "parmult", "parlower", "parnone"):
        files[f"{name}.gif"] = gif_bytes(connector(name), TREE_PALETTE)

    # pictures of the workbench's project tree, named by their image keys
    tree = {}
    for key in ("project", "references", "objects"):
        tree[key] = tree_glyph(key)
    for key, kind in TREE_MODULE_KEYS.items():
        tree[key] = module_glyph(kind)
    for kind in ELEMENT_KINDS:
        tree[kind.lower()] = kind_glyph(kind)
        if kind == "Implementations":
            continue
        for scope in SCOPES:
            tree[kind.lower() + TREE_SUFFIX[scope]] = element_layers(kind, scope)
    for key, layers in tree.items():
        files[f"tree/{key}.ico"] = icon(layers)
    return files


def contact_sheet(path):
    """4x enlarged sheet of every element icon at 16 px and the module icons at 32 px."""
    cells = []
    for kind in ELEMENT_KINDS:
        cells.append([render(element_layers(kind, s), 16) for s in SCOPES])
    cells.append([render(module_glyph(k), 16) for k in MODULE_KINDS])
    cells.append([render(tree_glyph(k), 16) for k in ("project", "references", "objects")])
    row32 = [render(module_glyph(k), 32) for k in MODULE_KINDS]
    zoom, pad = 4, 4
    cols = 5
    width = cols * (32 * zoom + pad) + pad
    height = (len(cells) * (16 * zoom + pad)) + 32 * zoom + 2 * pad
    sheet = [[(236, 240, 244, 255)] * width for _ in range(height)]

    def paste(img, ox, oy, z):
        for y, row in enumerate(img):
            for x, (r, g, b, a) in enumerate(row):
                if a == 0:
                    continue
                for dy in range(z):
                    for dx in range(z):
                        br, bg, bb, _ = sheet[oy + y * z + dy][ox + x * z + dx]
                        k = a / 255.0
                        sheet[oy + y * z + dy][ox + x * z + dx] = (
                            round(r * k + br * (1 - k)), round(g * k + bg * (1 - k)),
                            round(b * k + bb * (1 - k)), 255)

    for ri, row in enumerate(cells):
        for ci, img in enumerate(row):
            paste(img, pad + ci * (32 * zoom + pad), pad + ri * (16 * zoom + pad), zoom)
    y0 = pad + len(cells) * (16 * zoom + pad)
    for ci, img in enumerate(row32):
        paste(img, pad + ci * (32 * zoom + pad), y0, zoom)
    with open(path, "wb") as f:
        f.write(png_bytes(sheet))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "Ressources", "src", "images"),
                        help="folder to write the pictures into")
    parser.add_argument("--preview", metavar="PNG", help="also write a 4x contact sheet")
    args = parser.parse_args()

    files = build(args.out)
    for rel, data in sorted(files.items()):
        path = os.path.join(args.out, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    print(f"{len(files)} pictures written to {os.path.normpath(args.out)}", file=sys.stderr)
    if args.preview:
        contact_sheet(args.preview)


if __name__ == "__main__":
    main()
