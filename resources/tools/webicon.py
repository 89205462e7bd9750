#!/usr/bin/python3
"""Writes the largest picture of an .ico file as a PNG of SIZE x SIZE, scaled as pixel art is
(nearest neighbour), for the web app's icons.

    webicon.py ICO SIZE PNG
"""
import sys

from PIL import Image


def main():
    source, size, output = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with Image.open(source) as icon:
        largest = max(icon.info.get("sizes", {icon.size}))
        icon.size = largest
        picture = icon.convert("RGBA").resize((size, size), Image.NEAREST)
    picture.save(output, "PNG", optimize=True)


if __name__ == "__main__":
    main()
