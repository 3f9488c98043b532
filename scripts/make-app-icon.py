#!/usr/bin/env python3
"""Draws the workbench's application icon and its dock title buttons as PNG.

The application icon (shell/icons/tarnwick-{48,128,256}.png, installed into
the hicolor theme and compiled into the workbench as its window icon) is a
teal tile with a white page that carries a code listing; shell/icons/tarnwick.svg
is the same drawing as a vector file, kept in step by hand. The dock title
buttons (dock-close-*.png, dock-float-*.png, 16x16) come in a light and a dark
stroke, so each colour scheme can pick the one that reads on its title bar.

    python3 scripts/make-app-icon.py       # writes into shell/icons

Uses the shapes, the rasteriser and the PNG writer of make-images.py.
"""

import importlib.util
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
loader_info = importlib.util.spec_from_file_location("images", os.path.join(HERE, "make-images.py"))
images = importlib.util.module_from_spec(loader_info)
loader_info.loader.exec_module(images)
Rect, Polygon, Line, stroke, hexcolor = (images.Rect, images.Polygon, images.Line,
                                         images.stroke, images.hexcolor)

TEAL = hexcolor("1f6f78")
PAGE = hexcolor("ffffff")
FOLD = hexcolor("c9dfe2")
LINES = [hexcolor("1f4f9a"), hexcolor("c0392b"), hexcolor("1f4f9a"), hexcolor("2e8b57")]


def app_icon():
    page = Polygon([(4.0, 2.5), (9.8, 2.5), (12.5, 5.2), (12.5, 13.5), (4.0, 13.5)])
    layers = [(Rect(0.5, 0.5, 15.5, 15.5, 3.0), TEAL), (page, PAGE),
              (Polygon([(9.8, 2.5), (12.5, 5.2), (9.8, 5.2)]), FOLD)]
    # A short code listing: indented lines of different lengths.
    for i, (x0, x1) in enumerate([(5.3, 9.0), (6.3, 11.2), (6.3, 10.0), (5.3, 8.0)]):
        y = 6.6 + i * 1.9
        layers.append((Line(x0, y, x1, y, 0.9), LINES[i]))
    return layers


def close_button(colour):
    return [(Line(4.5, 4.5, 11.5, 11.5, 1.6), colour), (Line(11.5, 4.5, 4.5, 11.5, 1.6), colour)]


def float_button(colour):
    back = stroke([(6.5, 3.5), (12.5, 3.5), (12.5, 9.5), (6.5, 9.5)], 1.3)
    front = stroke([(3.5, 6.5), (9.5, 6.5), (9.5, 12.5), (3.5, 12.5)], 1.3)
    return [(back, colour), (Rect(3.5, 6.5, 9.5, 12.5), None), (front, colour)]


def main():
    out = os.path.join(HERE, "..", "shell", "icons")
    os.makedirs(out, exist_ok=True)

    def write(name, layers, size):
        with open(os.path.join(out, name), "wb") as f:
            f.write(images.png_bytes(images.render(layers, size)))

    for size in (48, 128, 256):
        write("tarnwick-%d.png" % size, app_icon(), size)
    for tone, colour in (("light", hexcolor("f4f4f4")), ("dark", hexcolor("1f2a3a"))):
        write("dock-close-%s.png" % tone, close_button(colour), 16)
        write("dock-float-%s.png" % tone, float_button(colour), 16)
    return 0


if __name__ == "__main__":
    sys.exit(main())
