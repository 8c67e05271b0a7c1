#!/usr/bin/python3
"""Draws the program icon (res/NUV_Talv.ico): a stylised mouse on a dark tile."""
import sys
from PIL import Image, ImageDraw

def draw(size):
    s = size / 64.0
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([1 * s, 1 * s, 63 * s, 63 * s], radius=12 * s, fill=(18, 20, 28, 255),
                        outline=(0, 200, 255, 255), width=max(1, int(2 * s)))
    # mouse body
    d.rounded_rectangle([18 * s, 10 * s, 46 * s, 54 * s], radius=13 * s, fill=(40, 44, 58, 255),
                        outline=(0, 220, 255, 255), width=max(1, int(2 * s)))
    d.line([32 * s, 11 * s, 32 * s, 28 * s], fill=(0, 220, 255, 255), width=max(1, int(2 * s)))
    d.line([19 * s, 28 * s, 45 * s, 28 * s], fill=(0, 220, 255, 255), width=max(1, int(2 * s)))
    # wheel
    d.rounded_rectangle([29.5 * s, 15 * s, 34.5 * s, 24 * s], radius=2 * s, fill=(255, 60, 90, 255))
    return img

def main(out):
    # Every size Windows asks for at 100 to 400 % (small and large icons).
    sizes = [16, 20, 24, 32, 40, 48, 64, 256]
    base = draw(256)
    imgs = [draw(n) for n in sizes]
    base.save(out, format="ICO", sizes=[(n, n) for n in sizes], append_images=imgs)

if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/NUV_Talv.ico")
