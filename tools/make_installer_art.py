#!/usr/bin/python3
"""Draws the setup program's side picture (installer/wizard.bmp, 164x314, the
size its finish page shows): the program's mouse on a dark panel."""
import sys
from PIL import Image, ImageDraw

from make_icon import draw as draw_icon

WIDTH, HEIGHT = 164, 314


def draw():
    img = Image.new("RGB", (WIDTH, HEIGHT))
    d = ImageDraw.Draw(img)
    # A dark panel that lightens towards the bottom, with the icon's cyan edge.
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        d.line([0, y, WIDTH, y], fill=(int(14 + 16 * t), int(16 + 18 * t), int(24 + 30 * t)))
    d.line([WIDTH - 3, 0, WIDTH - 3, HEIGHT], fill=(0, 200, 255), width=2)
    icon = draw_icon(112)
    img.paste(icon, ((WIDTH - 112) // 2, 70), icon)
    for i, y in enumerate((214, 222, 230)):
        d.line([30 + 8 * i, y, WIDTH - 30 - 8 * i, y], fill=(0, 150 - 40 * i, 200 - 50 * i), width=2)
    return img


def main(out):
    draw().save(out, format="BMP")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "installer/wizard.bmp")
