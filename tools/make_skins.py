#!/usr/bin/python3
"""Generates the program's skin set and installation data, deterministically.

Writes:
  skins/INI_EN/*.ini, skins/INI_CN/*.ini   layouts and captions (UTF-16LE with BOM)
  skins/*.jpg                              every page picture in its three states,
                                           the masks, the DPI knob, the menu pictures
  dist_data/config.ini                     first-start slots and the reset templates
  build/skin-previews/*.png                review pictures (not shipped): every key's
                                           rectangle outlined and numbered over the
                                           page with its captions as the program draws them

Run from the repository root with Debian's Python (it has Pillow):
  /usr/bin/python3 tools/make_skins.py

Pictures are drawn three times larger and reduced by averaging each 3x3 block,
so every skin pixel comes from its own block only: a state picture differs from
the normal one only inside the keys that change, and copying a key's rectangle
never leaves a seam. Captions are checked against the fonts the program uses
(Arial 15/7 in English, Verdana 12/6 in the second language), measured with the
metric-compatible Liberation Sans and with DejaVu Sans standing in for Verdana.
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SKINS = os.path.join(ROOT, "skins")
PREVIEWS = os.path.join(ROOT, "build", "skin-previews")
DIST_DATA = os.path.join(ROOT, "dist_data")

W, H = 720, 480          # drawing size of the main window
S = 3                    # supersampling factor
OUT = 1                  # the scale a picture is written at (1, 1.5, 2 or 3)
# The finer pictures for displays at 150, 200 and 300 % ("name@2x.jpg"): drawn
# six times larger and reduced by whole blocks, like the 1x ones.
HIGH_SCALES = ((1.5, "@1.5x"), (2, "@2x"), (3, "@3x"))
HIGH_S = 6
JPEG_QUALITY = 95

FONT_DIRS = ["/usr/share/fonts/truetype/liberation", "/usr/share/fonts/truetype/dejavu"]


def font_file(name):
    for d in FONT_DIRS:
        p = os.path.join(d, name)
        if os.path.exists(p):
            return p
    raise SystemExit("font missing: %s (install fonts-liberation and fonts-dejavu-core)" % name)


SANS = font_file("LiberationSans-Regular.ttf")
SANS_BOLD = font_file("LiberationSans-Bold.ttf")
SANS_BOLD_ITALIC = font_file("LiberationSans-BoldItalic.ttf")
VERDANA_STANDIN = font_file("DejaVuSans.ttf")

# ---------------------------------------------------------------- text metrics


def _tables(path):
    data = open(path, "rb").read()
    num = struct.unpack(">H", data[4:6])[0]
    tables = {}
    for i in range(num):
        tag, _, off, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        tables[tag.decode("latin-1")] = data[off:off + length]
    return tables


class UiFont:
    """A font as the program creates it: cell height and average character width."""

    def __init__(self, path, cell_height, avg_width, face_cell_units, face_avg_units):
        """`path` is the stand-in face whose advance widths are used; the cell
        and average width in font units are those of the real Windows face, since
        the system sizes the font from them."""
        t = _tables(path)
        self.upm = struct.unpack(">H", t["head"][18:20])[0]
        self.x_avg = face_avg_units
        self.cell = cell_height
        self.em = cell_height * self.upm / float(face_cell_units)
        # The system stretches the face so that its average width is avg_width.
        self.stretch = avg_width / (self.x_avg * self.em / self.upm)
        self.path = path
        self.units = ImageFont.truetype(path, self.upm)

    def width(self, text):
        units = self.units.getlength(text)
        return int(math.ceil(units * self.em / self.upm * self.stretch))

    def render(self, text, colour):
        """The text as the program would draw it, on a transparent image."""
        f = ImageFont.truetype(self.path, max(1, int(round(self.em * 4))))
        tw = int(math.ceil(f.getlength(text))) + 8
        img = Image.new("RGBA", (max(1, tw), self.cell * 4), (0, 0, 0, 0))
        ImageDraw.Draw(img).text((0, int(self.em * 4 * 0.02)), text, font=f, fill=colour)
        return img.resize((max(1, self.width(text)), self.cell), Image.LANCZOS)


# Arial: winAscent + winDescent 2288, xAvgCharWidth 904 (of 2048).
# Verdana: winAscent + winDescent 2489, xAvgCharWidth 1186 (of 2048).
ARIAL_FACE = (2288, 904)
VERDANA_FACE = (2489, 1186)
FONT_EN = UiFont(SANS, 15, 7, *ARIAL_FACE)
FONT_PT = UiFont(VERDANA_STANDIN, 12, 6, *VERDANA_FACE)

# ------------------------------------------------------------------ colours

BG = (9, 10, 13)
HATCH = (14, 15, 20)
PANEL = (19, 21, 27)
PANEL_EDGE = (38, 42, 52)
FRAME = (46, 50, 62)
ACCENT = (232, 30, 48)
ACCENT_DARK = (96, 12, 22)
ACCENT_SOFT = (150, 22, 36)
BTN = (28, 31, 39)
BTN_EDGE = (54, 59, 72)
BTN_OVER = (40, 44, 56)
INK_DIM = (120, 126, 140)
INK = (200, 205, 214)
WHITE = (255, 255, 255)
TRACK = (48, 52, 63)
WELL = (8, 9, 12)

LED_COLOURS = {
    "blue": (40, 120, 255),
    "pink": (255, 70, 190),
    "red": (255, 34, 40),
    "purple": (160, 60, 255),
}

# ------------------------------------------------------------ drawing helpers


def sc(v):
    return int(round(v * S))


def out(v):
    """A skin-unit size in the pixels of the picture being written."""
    return int(round(v * OUT))


def box(r, inset=0):
    x, y, w, h = r
    return [sc(x + inset), sc(y + inset), sc(x + w - inset) - 1, sc(y + h - inset) - 1]


def font(path, px):
    return ImageFont.truetype(path, sc(px))


def text_centre(d, cx, cy, text, f, fill):
    d.text((sc(cx), sc(cy)), text, font=f, fill=fill, anchor="mm")


def gradient_rect(img, r, top, bottom, inset=0, radius=0):
    x0, y0, x1, y1 = box(r, inset)
    h = max(1, y1 - y0 + 1)
    grad = Image.new("RGB", (x1 - x0 + 1, h))
    gd = ImageDraw.Draw(grad)
    for i in range(h):
        t = i / max(1, h - 1)
        gd.line([(0, i), (x1 - x0, i)], fill=tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)))
    m = Image.new("L", grad.size, 0)
    ImageDraw.Draw(m).rounded_rectangle([0, 0, grad.size[0] - 1, grad.size[1] - 1], radius=sc(radius), fill=255)
    img.paste(grad, (x0, y0), m)


def chamfer_poly(x0, y0, x1, y1, c):
    return [(x0 + c, y0), (x1, y0), (x1, y1 - c), (x1 - c, y1), (x0, y1), (x0, y0 + c)]


def window_poly(w, h, c):
    return chamfer_poly(0, 0, w, h, c)


# ------------------------------------------------------------ key looks
# Every look draws only inside its rectangle, at least 1 pixel in, so that the
# edges of a key are the same in all three states.

def look_button(img, d, r, state, accent=False):
    if accent:
        fills = {"normal": ((170, 24, 38), (120, 14, 26)), "over": ((230, 40, 56), (160, 20, 34)),
                 "down": ((90, 10, 20), (120, 16, 28))}
        edge = {"normal": (210, 40, 56), "over": (255, 110, 120), "down": (255, 60, 76)}[state]
    else:
        fills = {"normal": ((34, 37, 46), (25, 27, 34)), "over": ((48, 52, 66), (36, 39, 50)),
                 "down": ((100, 14, 26), (70, 10, 18))}
        edge = {"normal": BTN_EDGE, "over": (200, 36, 52), "down": (255, 48, 64)}[state]
    top, bottom = fills[state]
    gradient_rect(img, r, top, bottom, inset=1, radius=4)
    d.rounded_rectangle(box(r, 1), radius=sc(4), outline=edge, width=sc(1))
    if state == "down":
        x, y, w, h = r
        d.line([sc(x + 6), sc(y + h - 3), sc(x + w - 6), sc(y + h - 3)], fill=(255, 90, 100), width=sc(1))


def look_tab(img, d, r, state):
    x, y, w, h = r
    if state == "down":
        gradient_rect(img, r, (84, 16, 28), (32, 12, 18), inset=1, radius=3)
        d.rectangle([sc(x + 2), sc(y + 1), sc(x + w - 2) - 1, sc(y + 4) - 1], fill=ACCENT)
        edge = (255, 60, 76)
    elif state == "over":
        gradient_rect(img, r, (46, 50, 64), (28, 30, 38), inset=1, radius=3)
        d.rectangle([sc(x + 2), sc(y + 1), sc(x + w - 2) - 1, sc(y + 3) - 1], fill=ACCENT_SOFT)
        edge = (90, 96, 112)
    else:
        gradient_rect(img, r, (26, 29, 36), (18, 20, 25), inset=1, radius=3)
        edge = (40, 44, 54)
    d.rounded_rectangle(box(r, 1), radius=sc(3), outline=edge, width=sc(1))


def look_square(img, d, r, state):
    fill = {"normal": (26, 29, 36), "over": (44, 48, 60), "down": (200, 24, 40)}[state]
    edge = {"normal": BTN_EDGE, "over": ACCENT, "down": (255, 90, 100)}[state]
    d.rounded_rectangle(box(r, 1), radius=sc(3), fill=fill, outline=edge, width=sc(1))


def look_check(img, d, r, state):
    x, y, w, h = r
    inner = (x + 3, y + 3, w - 6, h - 6)
    fill = {"normal": WELL, "over": (30, 12, 16), "down": (210, 26, 42)}[state]
    edge = {"normal": (80, 86, 100), "over": ACCENT, "down": (255, 96, 106)}[state]
    d.rounded_rectangle(box(inner), radius=sc(3), fill=fill, outline=edge, width=sc(1.5))
    if state == "down":
        d.line([(sc(x + 7), sc(y + h / 2)), (sc(x + w / 2 - 1), sc(y + h - 7)), (sc(x + w - 6), sc(y + 6))],
               fill=WHITE, width=sc(2.2), joint="curve")


def look_radio(img, d, r, state):
    x, y, w, h = r
    cx, cy, rad = x + w / 2, y + h / 2, min(w, h) / 2 - 3
    edge = {"normal": (80, 86, 100), "over": ACCENT, "down": (255, 96, 106)}[state]
    d.ellipse([sc(cx - rad), sc(cy - rad), sc(cx + rad), sc(cy + rad)], fill=WELL, outline=edge, width=sc(1.5))
    if state == "down":
        for k, col in ((rad - 2.5, (120, 14, 26)), (rad - 4, (255, 40, 56)), (rad - 6.5, (255, 170, 176))):
            d.ellipse([sc(cx - k), sc(cy - k), sc(cx + k), sc(cy + k)], fill=col)
    elif state == "over":
        k = rad - 5
        d.ellipse([sc(cx - k), sc(cy - k), sc(cx + k), sc(cy + k)], fill=(90, 16, 26))


def look_notch(img, d, r, state):
    """One stop of a DPI slider: a piece of the track with a tick, or the knob."""
    x, y, w, h = r
    cy = y + h / 2
    d.rectangle([sc(x), sc(cy - 2), sc(x + w) - 1, sc(cy + 2) - 1], fill=TRACK)
    d.rectangle([sc(x + w / 2 - 1), sc(cy - 6), sc(x + w / 2 + 1) - 1, sc(cy + 6) - 1], fill=(90, 96, 110))
    if state == "over":
        d.ellipse([sc(x + w / 2 - 9), sc(cy - 9), sc(x + w / 2 + 9), sc(cy + 9)], outline=ACCENT, width=sc(1.5))
    elif state in ("down", "knob"):
        kx0, kx1 = x + w / 2 - 7, x + w / 2 + 7
        gradient_rect(img, (kx0, y + 3, kx1 - kx0, h - 6), (255, 80, 94), (170, 16, 32), radius=4)
        d.rounded_rectangle([sc(kx0), sc(y + 3), sc(kx1) - 1, sc(y + h - 3) - 1], radius=sc(4),
                            outline=(255, 150, 158), width=sc(1))
        for dy in (-4, 0, 4):
            d.line([sc(kx0 + 4), sc(cy + dy), sc(kx1 - 4), sc(cy + dy)], fill=(255, 210, 214), width=sc(1))


def look_label(img, d, r, state):
    fill = {"normal": (24, 27, 34), "over": (36, 39, 50), "down": (80, 12, 22)}[state]
    edge = {"normal": (46, 51, 62), "over": ACCENT, "down": (255, 60, 76)}[state]
    x, y, w, h = r
    d.rounded_rectangle(box(r, 1), radius=sc(3), fill=fill, outline=edge, width=sc(1))
    # a chevron at the right end: the label opens the function chooser
    cx, cy = x + w - 12, y + h / 2
    col = (150, 156, 170) if state == "normal" else (255, 120, 130)
    d.line([(sc(cx - 3), sc(cy - 4)), (sc(cx + 1), sc(cy)), (sc(cx - 3), sc(cy + 4))], fill=col, width=sc(1.5))


def look_mark(img, d, r, state, number):
    x, y, w, h = r
    cx, cy, rad = x + w / 2, y + h / 2, w / 2 - 1.5
    fill = {"normal": (22, 24, 30), "over": (110, 16, 28), "down": (235, 30, 48)}[state]
    edge = {"normal": (120, 126, 140), "over": (255, 70, 84), "down": (255, 180, 186)}[state]
    d.ellipse([sc(cx - rad), sc(cy - rad), sc(cx + rad), sc(cy + rad)], fill=fill, outline=edge, width=sc(1.5))
    text_centre(d, cx, cy + 0.5, str(number), font(SANS_BOLD, 11), WHITE if state != "normal" else INK)


def look_segment(img, d, r, state, level):
    """One step of a 1-to-10 row; a small bar shows how far up the scale it is."""
    x, y, w, h = r
    fill = {"normal": (24, 27, 34), "over": (40, 44, 56), "down": (120, 16, 30)}[state]
    edge = {"normal": (46, 51, 62), "over": ACCENT, "down": (255, 70, 84)}[state]
    d.rounded_rectangle(box(r, 1), radius=sc(3), fill=fill, outline=edge, width=sc(1))
    bar = 2 + level * 0.35
    col = {"normal": (70, 76, 90), "over": (170, 40, 54), "down": (255, 120, 130)}[state]
    d.rectangle([sc(x + 5), sc(y + h - 4 - bar), sc(x + w - 5) - 1, sc(y + h - 4) - 1], fill=col)


def look_bar(img, d, r, state):
    x, y, w, h = r
    if state == "down":
        gradient_rect(img, (x + 2, y + 8, w - 4, h - 16), (255, 70, 84), (160, 14, 30), radius=3)
        for k in range(1, 10):
            tx = x + 2 + (w - 4) * k / 10
            d.line([sc(tx), sc(y + 9), sc(tx), sc(y + h - 9) - 1], fill=(255, 160, 166), width=sc(0.7))
    else:
        d.rounded_rectangle([sc(x + 2), sc(y + 8), sc(x + w - 2) - 1, sc(y + h - 8) - 1], radius=sc(3),
                            fill=WELL if state == "normal" else (30, 12, 16),
                            outline=(70, 76, 90) if state == "normal" else ACCENT, width=sc(1))
        for k in range(1, 10):
            tx = x + 2 + (w - 4) * k / 10
            d.line([sc(tx), sc(y + 10), sc(tx), sc(y + h - 10) - 1], fill=(44, 48, 58), width=sc(0.7))


def look_well(img, d, r, state):
    d.rounded_rectangle(box(r, 1), radius=sc(3), fill=WELL, outline=(52, 57, 70), width=sc(1))


def look_glyph(img, d, r, state, glyph):
    x, y, w, h = r
    fill = {"normal": None, "over": (48, 52, 66), "down": (200, 24, 40)}[state]
    if fill:
        d.rounded_rectangle(box(r, 1), radius=sc(4), fill=fill)
    col = WHITE if state != "normal" else INK
    cx, cy = x + w / 2, y + h / 2
    if glyph == "min":
        d.line([sc(cx - 6), sc(cy + 4), sc(cx + 6), sc(cy + 4)], fill=col, width=sc(2))
    elif glyph == "close":
        d.line([sc(cx - 5), sc(cy - 5), sc(cx + 5), sc(cy + 5)], fill=col, width=sc(2))
        d.line([sc(cx - 5), sc(cy + 5), sc(cx + 5), sc(cy - 5)], fill=col, width=sc(2))
    elif glyph == "globe":
        rad = 8
        d.ellipse([sc(cx - rad), sc(cy - rad), sc(cx + rad), sc(cy + rad)], outline=col, width=sc(1.5))
        d.ellipse([sc(cx - 3.5), sc(cy - rad), sc(cx + 3.5), sc(cy + rad)], outline=col, width=sc(1.2))
        d.line([sc(cx - rad), sc(cy), sc(cx + rad), sc(cy)], fill=col, width=sc(1.2))
        d.line([sc(cx - rad + 1.5), sc(cy - 4), sc(cx + rad - 1.5), sc(cy - 4)], fill=col, width=sc(1))
        d.line([sc(cx - rad + 1.5), sc(cy + 4), sc(cx + rad - 1.5), sc(cy + 4)], fill=col, width=sc(1))


def look_pill(img, d, r, state):
    fill = {"normal": (26, 29, 36), "over": (44, 48, 60), "down": (200, 24, 40)}[state]
    edge = {"normal": BTN_EDGE, "over": ACCENT, "down": (255, 90, 100)}[state]
    x, y, w, h = r
    d.rounded_rectangle(box(r, 1), radius=sc(h / 2 - 1), fill=fill, outline=edge, width=sc(1))


# --------------------------------------------------------------- the mouse


def body_half_width(width, t):
    """Half the body's width at t (0 nose .. 1 back): a rounded nose, the widest
    point under the palm, a full round back."""
    centre = 0.56
    u = (centre - t) / centre if t < centre else (t - centre) / (1 - centre)
    round_part = max(0.0, 1 - min(1.0, u) ** 2.6) ** (1 / 2.6)
    taper = 0.84 + 0.16 * min(1.0, t / 0.62)
    return width / 2 * round_part * taper


def mouse_outline(cx, top, length, width):
    """Top view of the mouse body, as a closed polygon."""
    pts = []
    n = 160
    for i in range(n + 1):
        t = i / n
        pts.append((cx + body_half_width(width, t), top + length * t))
    left = [(2 * cx - x, y) for x, y in reversed(pts)]
    return pts + left


def draw_mouse(img, cx, top, length, width, led=None, lit=True):
    """Our own mouse drawing, in skin pixels; returns the positions of its parts."""
    d = ImageDraw.Draw(img)
    body = [(sc(x), sc(y)) for x, y in mouse_outline(cx, top, length, width)]
    if led and lit:
        glow = Image.new("RGBA", img.size, (0, 0, 0, 0))
        gd = ImageDraw.Draw(glow)
        for k in range(14, 0, -1):
            a = int(10 + 7 * (14 - k))
            grown = [(sc(x), sc(y)) for x, y in mouse_outline(cx, top - k * 0.9, length + k * 1.8, width + k * 1.8)]
            gd.polygon(grown, fill=led + (min(255, a // 3),))
        img.paste(glow, (0, 0), glow)
        d = ImageDraw.Draw(img)
    d.polygon(body, fill=(30, 33, 41))
    # palm shading
    palm = [(sc(x), sc(y)) for x, y in mouse_outline(cx, top + length * 0.40, length * 0.58, width * 0.78)]
    d.polygon(palm, fill=(36, 40, 50))
    edge = led if (led and lit) else (92, 98, 114)
    d.line(body + [body[0]], fill=edge, width=sc(2 if led else 1.5), joint="curve")
    split_y = top + length * 0.42
    # button split and the seam between the buttons and the palm
    d.line([sc(cx), sc(top + 2), sc(cx), sc(split_y)], fill=(12, 13, 17), width=sc(2))
    seam = []
    for i in range(41):
        t = i / 40
        x = cx - width * 0.47 + width * 0.94 * t
        seam.append((sc(x), sc(split_y + 7 * math.sin(math.pi * t))))
    d.line(seam, fill=(12, 13, 17), width=sc(2), joint="curve")
    # wheel
    wy0, wy1 = top + length * 0.09, top + length * 0.21
    d.rounded_rectangle([sc(cx - 5), sc(wy0), sc(cx + 5), sc(wy1)], radius=sc(4), fill=(14, 15, 19),
                        outline=(100, 106, 120), width=sc(1))
    for k in range(6):
        yy = wy0 + 3 + k * (wy1 - wy0 - 6) / 5
        d.line([sc(cx - 3), sc(yy), sc(cx + 3), sc(yy)], fill=(70, 74, 86), width=sc(1))
    # two buttons behind the wheel
    b7 = (cx, top + length * 0.265)
    b6 = (cx, top + length * 0.35)
    for bx, by in (b7, b6):
        d.rounded_rectangle([sc(bx - 4), sc(by - 5), sc(bx + 4), sc(by + 5)], radius=sc(2), fill=(20, 22, 28),
                            outline=(90, 96, 110), width=sc(1))
    # side buttons on the left flank
    side = []
    for k, frac in enumerate((0.47, 0.59)):
        sy = top + length * frac
        # flank x at that height
        fx = cx - body_half_width(width, frac)
        d.rounded_rectangle([sc(fx - 1), sc(sy - 11), sc(fx + 5), sc(sy + 11)], radius=sc(3), fill=(22, 24, 30),
                            outline=(110, 116, 130), width=sc(1))
        side.append((fx + 2, sy))
    # logo stripe at the back (the LED)
    ly = top + length * 0.80
    stripe = led if (led and lit) else (58, 62, 74)
    d.polygon([(sc(cx - 14), sc(ly)), (sc(cx), sc(ly - 9)), (sc(cx + 14), sc(ly)), (sc(cx), sc(ly - 4))],
              fill=stripe)
    if led and lit:
        d.line([sc(cx - 4), sc(wy0 + 2), sc(cx - 4), sc(wy1 - 2)], fill=led, width=sc(1))
        d.line([sc(cx + 4), sc(wy0 + 2), sc(cx + 4), sc(wy1 - 2)], fill=led, width=sc(1))
    return {
        1: (cx - width * 0.24, top + length * 0.20),
        2: (cx + width * 0.24, top + length * 0.20),
        3: (cx, (wy0 + wy1) / 2),
        4: side[0],
        5: side[1],
        6: b6,
        7: b7,
    }


# ------------------------------------------------------------- layout data

class Key:
    def __init__(self, n, rect, en="", pt="", look=None, label="", **kw):
        self.n, self.rect, self.en, self.pt, self.look, self.label = n, rect, en, pt, look, label
        self.kw = kw


def strip_keys():
    k = [
        Key(0, (452, 64, 100, 28), "PROFILE", "PERFIL", None, "profile_label"),
        Key(1, (176, 20, 224, 22), "241-7730 GAMING MOUSE", "MOUSE GAMER 241-7730", None, "model"),
        Key(2, (482, 430, 106, 32), "Cancel", "Cancelar", "button", "cancel"),
        Key(3, (596, 430, 108, 32), "Apply", "Aplicar", "accent", "apply"),
    ]
    for i in range(5):
        k.append(Key(4 + i, (556 + i * 30, 64, 28, 28), str(i + 1), str(i + 1), "square", "slot%d" % (i + 1)))
    tabs = [("Main", "Principal"), ("Advanced", "Avançado"), ("Lighting", "Iluminação")]
    for i, (en, pt) in enumerate(tabs):
        k.append(Key(9 + i, (16 + i * 142, 62, 138, 32), en, pt, "tab", "tab_%s" % en.lower()))
    k += [
        Key(12, (644, 12, 30, 28), "", "", "glyph", "minimise", glyph="min"),
        Key(13, (676, 12, 30, 28), "", "", "glyph", "to_tray", glyph="close"),
        Key(14, (16, 430, 96, 32), "Import", "Importar", "button", "import"),
        Key(15, (118, 430, 96, 32), "Export", "Exportar", "button", "export"),
        Key(16, (220, 430, 96, 32), "Reset", "Restaurar", "button", "reset"),
        Key(17, (508, 15, 40, 24), "PT", "PT", "pill", "lang_pt"),
        Key(18, (552, 15, 40, 24), "EN", "EN", "pill", "lang_en"),
        Key(19, (604, 12, 30, 28), "", "", "glyph", "website", glyph="globe"),
    ]
    return k


DPI_BY_INDEX = {0: 3200, 1: 1200, 2: 1600, 3: 2000, 4: 2400}
DPI_ORDER = [1, 2, 3, 4, 0]          # value indices from the lowest DPI to the highest
NOTCH_X0, NOTCH_W, DPI_ROW_Y0, DPI_ROW_STEP, DPI_ROW_H = 540, 32, 162, 40, 30
MOUSE = dict(cx=98, top=146, length=258, width=118)


def main_keys():
    k = strip_keys()
    k += [
        Key(20, (28, 108, 320, 24), "BUTTON ASSIGNMENT", "FUNÇÕES DOS BOTÕES", None, "heading_buttons"),
        Key(21, (384, 108, 308, 24), "DPI LEVELS", "NÍVEIS DE DPI", None, "heading_dpi"),
        Key(22, (384, 326, 308, 24), "WHEEL MODE", "MODO DA RODA", None, "heading_wheel"),
        Key(23, (382, 138, 44, 20), "ON", "LIG.", None, "column_on"),
        Key(24, (474, 138, 62, 20), "ACTIVE", "ATUAL", None, "column_active"),
    ]
    for b in range(7):
        k.append(Key(25 + b, (196, 142 + b * 38, 156, 28), "", "", "label", "button%d_function" % (b + 1)))
    k += [
        Key(41, (392, 356, 146, 32), "Standard", "Padrão", "button", "wheel_standard"),
        Key(42, (546, 356, 146, 32), "Alternate", "Alternativo", "button", "wheel_alternate"),
    ]
    for n in range(4):
        y = DPI_ROW_Y0 + n * DPI_ROW_STEP
        k.append(Key(46 + n, (392, y + 3, 24, 24), "", "", "check", "dpi%d_enable" % (n + 1)))
        k.append(Key(50 + n, (420, y, 70, 30), "Level %d" % (n + 1), "Nível %d" % (n + 1), None,
                     "dpi%d_caption" % (n + 1)))
        k.append(Key(54 + n, (493, y + 3, 24, 24), "", "", "radio", "dpi%d_select" % (n + 1)))
        k.append(Key(80 + n, (493, y + 3, 24, 24), "", "", "radio", "dpi%d_current" % (n + 1)))
        for j, v in enumerate(DPI_ORDER):
            k.append(Key(60 + 5 * n + v, (NOTCH_X0 + j * NOTCH_W, y, NOTCH_W, DPI_ROW_H),
                         str(DPI_BY_INDEX[v]), str(DPI_BY_INDEX[v]), "notch", "dpi%d_value%d" % (n + 1, v)))
    parts = mouse_parts()
    for b in range(1, 8):
        cx, cy = parts[b]
        k.append(Key(89 + b, (int(round(cx - 10)), int(round(cy - 10)), 20, 20), "", "", "mark",
                     "button%d_mark" % b, number=b))
    return k


def mouse_parts():
    probe = Image.new("RGB", (sc(W), sc(H)))
    return draw_mouse(probe, **MOUSE)


def advanced_keys():
    k = [
        Key(0, (560, 254, 66, 28), "Import", "Importar", "button", "macro_import"),
        Key(1, (630, 254, 66, 28), "Export", "Exportar", "button", "macro_export"),
        Key(2, (416, 152, 136, 28), "New", "Nova", "button", "macro_new"),
        Key(3, (416, 186, 136, 28), "Delete", "Apagar", "button", "macro_delete"),
        Key(4, (416, 220, 136, 28), "Record", "Gravar", "accent", "macro_record"),
        Key(5, (416, 254, 136, 28), "Save", "Salvar", "button", "macro_save"),
        Key(6, (560, 152, 136, 28), "Repeat", "Repetir", "button", "macro_repeat_mode"),
        Key(7, (540, 346, 152, 30), "Repeat while held", "Repetir ao segurar", "button", "macro_hold_mode"),
    ]
    for i in range(10):
        k.append(Key(8 + i, (170 + i * 33, 310, 30, 30), str(i + 1), str(i + 1), "segment", "pointer_speed%d" % i,
                     level=i))
        k.append(Key(18 + i, (170 + i * 33, 346, 30, 30), str(i + 1), str(i + 1), "segment", "scroll_lines%d" % i,
                     level=i))
    k += [
        Key(30, (206, 382, 226, 30), "", "", "bar", "fire_time_bar"),
        Key(31, (436, 382, 30, 30), "+", "+", "button", "fire_time_up"),
        Key(32, (170, 382, 30, 30), "\u2212", "\u2212", "button", "fire_time_down"),
        Key(33, (470, 383, 60, 28), "50ms", "50ms", "well", "fire_time_value"),
        Key(34, (28, 106, 664, 22), "MACRO EDITOR", "EDITOR DE MACROS", None, "heading_macros"),
        Key(35, (28, 130, 160, 20), "Macros", "Macros", None, "macros_caption"),
        Key(36, (200, 130, 96, 20), "Events", "Eventos", None, "events_caption"),
        Key(37, (28, 261, 48, 24), "Name", "Nome", None, "name_caption"),
        Key(38, (298, 130, 52, 20), "[↓]0", "[↓]0", None, "down_count"),
        Key(39, (352, 130, 52, 20), "[↑]0", "[↑]0", None, "up_count"),
        Key(40, (560, 184, 136, 20), "Repeat count", "Repetições", None, "repeat_count_caption"),
        Key(41, (28, 310, 136, 30), "Pointer speed", "Velocidade", None, "pointer_speed_caption"),
        Key(42, (28, 346, 136, 30), "Scroll lines", "Linhas da roda", None, "scroll_lines_caption"),
        Key(43, (28, 382, 136, 30), "Fire time", "Tempo de disparo", None, "fire_time_caption"),
        Key(44, (540, 310, 152, 30), "Macro key mode", "Modo da macro", None, "hold_mode_caption"),
    ]
    return k


ADVANCED_CONTROLS = {
    ("EDIT", 3): ("repeat_count", (560, 206, 136, 24)),
    ("EDIT", 4): ("macro_name", (78, 262, 110, 22)),
    ("MACRODISPLAY", 1): ("macro_list", (28, 152, 160, 102)),
    ("MACRODISPLAY", 2): ("event_list", (200, 152, 204, 134)),
}

TILE = (412, 138, 252, 228)


def colour_keys():
    k = []
    modes = [("Slow colour cycle", "Ciclo lento de cores"), ("Fast colour cycle", "Ciclo rápido de cores"),
             ("DPI colour, steady", "Cor do DPI fixa"), ("Off", "Desligado")]
    modes[2] = ("Steady DPI colour", "Cor do DPI fixa")
    for i, (en, pt) in enumerate(modes):
        k.append(Key(i, (40, 144 + i * 44, 288, 36), en, pt, "button", "led_mode%d" % i))
    k += [
        Key(4, (28, 108, 312, 24), "LIGHTING MODE", "MODO DE ILUMINAÇÃO", None, "heading_mode"),
        Key(5, (376, 108, 316, 24), "PREVIEW", "PRÉ-VISUALIZAÇÃO", None, "heading_preview"),
        Key(6, (412, 378, 120, 30), "Current DPI", "DPI atual", None, "dpi_caption"),
        Key(7, (28, 384, 140, 24), "Level colours", "Cores dos níveis", None, "legend_caption"),
        Key(9, (540, 378, 124, 30), "1200", "1200", "well", "dpi_value"),
        Key(10, (28, 322, 312, 22), "Steady: colour of the DPI level", "Fixo: cor do nível de DPI", None,
            "note_steady"),
        Key(11, TILE, "", "", "tile", "preview_tile"),
        Key(12, (28, 348, 312, 22), "Press Apply to send it to the mouse", "Clique em Aplicar para enviar",
            None, "note_apply"),
    ]
    return k


WARN_W, WARN_H = 440, 170


def warning_keys():
    return [
        Key(0, (64, 112, 140, 36), "Continue", "Continuar", "button", "continue"),
        Key(1, (236, 112, 140, 36), "Cancel", "Cancelar", "button", "cancel"),
        Key(2, (20, 58, 400, 30), "This is the only Left Click button. Change it?",
            "Este é o único botão de clique esquerdo. Alterar?", None, "message"),
    ]


# Function names: code n at key n. Codes 41..52 are shown by macro name instead.
FUNCTIONS = {
    1: ("Left Click", "Clique esquerdo"), 2: ("Right Click", "Clique direito"),
    3: ("Middle Click", "Clique do meio"), 4: ("Back", "Voltar"), 5: ("Forward", "Avançar"),
    6: ("DPI Cycle", "Ciclo de DPI"),
    7: ("Mouse Functions", "Funções do mouse"), 8: ("Media", "Multimídia"), 9: ("Macros", "Macros"),
    10: ("Shortcuts", "Atalhos"),
    11: ("Double Click", "Clique duplo"), 12: ("Fire Button", "Disparo rápido"),
    13: ("Scroll Up", "Rolar para cima"), 14: ("Scroll Down", "Rolar para baixo"),
    15: ("Tilt Left", "Inclinar à esquerda"), 16: ("Tilt Right", "Inclinar à direita"),
    17: ("DPI Up", "Aumentar DPI"), 18: ("DPI Down", "Diminuir DPI"), 19: ("LED On/Off", "LED liga/desliga"),
    20: ("Not Used", "Sem função"),
    21: ("Play/Pause", "Reproduzir/Pausar"), 22: ("Next Track", "Próxima faixa"),
    23: ("Previous Track", "Faixa anterior"), 24: ("Volume Up", "Aumentar volume"),
    25: ("Volume Down", "Diminuir volume"), 26: ("Mute", "Sem som"),
    27: ("Not Used", "Sem função"), 28: ("Not Used", "Sem função"), 29: ("Not Used", "Sem função"),
    30: ("Not Used", "Sem função"),
    31: ("Copy (Ctrl+C)", "Copiar (Ctrl+C)"), 32: ("Paste (Ctrl+V)", "Colar (Ctrl+V)"),
    33: ("Select All (Ctrl+A)", "Selecionar tudo"), 34: ("Undo (Ctrl+Z)", "Desfazer (Ctrl+Z)"),
    35: ("Close (Alt+F4)", "Fechar (Alt+F4)"), 36: ("This PC", "Este computador"),
    37: ("Lock PC", "Bloquear PC"), 38: ("Calculator", "Calculadora"),
    39: ("Command Prompt", "Prompt de comando"), 40: ("Next Profile", "Próximo perfil"),
}
for _m in range(12):
    FUNCTIONS[41 + _m] = ("Macro %d" % (_m + 1), "Macro %d" % (_m + 1))
FUNCTIONS[53] = ("Not Used", "Sem função")
FUNCTIONS[54] = ("Not Used", "Sem função")

MENU_W, MENU_ROW = 206, 28          # first level: ten rows
SUBMENU_W, SUBMENU_ROW = 206, 28    # second level: room for twelve rows

# ------------------------------------------------------------ page pictures


def new_canvas():
    img = Image.new("RGB", (sc(W), sc(H)), BG)
    d = ImageDraw.Draw(img)
    for k in range(-H, W, 7):
        d.line([sc(k), 0, sc(k + H), sc(H)], fill=HATCH, width=sc(1))
    return img, d


def panel(img, d, r, title_line=True):
    x, y, w, h = r
    d.polygon([(sc(px), sc(py)) for px, py in chamfer_poly(x, y, x + w, y + h, 10)], fill=PANEL,
              outline=PANEL_EDGE, width=sc(1))
    d.polygon([(sc(x), sc(y + 10)), (sc(x + 10), sc(y)), (sc(x + 22), sc(y)), (sc(x), sc(y + 22))], fill=ACCENT)
    if title_line:
        d.line([sc(x + 12), sc(y + 31), sc(x + w - 12), sc(y + 31)], fill=(44, 48, 58), width=sc(1))
        d.line([sc(x + 12), sc(y + 31), sc(x + 60), sc(y + 31)], fill=ACCENT, width=sc(1.5))


def chrome(img, d):
    """Frame, title bar and footer shared by the three pages."""
    outline = [(sc(x), sc(y)) for x, y in window_poly(W - 1, H - 1, 18)]
    d.line(outline + [outline[0]], fill=FRAME, width=sc(2))
    # title bar
    d.line([sc(16), sc(52), sc(W - 16), sc(52)], fill=(34, 37, 46), width=sc(1))
    d.polygon([(sc(18), sc(0)), (sc(150), sc(0)), (sc(142), sc(3)), (sc(10), sc(3))], fill=ACCENT)
    f = font(SANS_BOLD_ITALIC, 25)
    d.text((sc(24), sc(12)), "QUARVEL", font=f, fill=WHITE)
    d.polygon([(sc(158), sc(14)), (sc(164), sc(14)), (sc(154), sc(42)), (sc(148), sc(42))], fill=ACCENT)
    # tab bar base line
    d.line([sc(16), sc(94), sc(442), sc(94)], fill=(44, 48, 58), width=sc(1))
    # footer
    d.line([sc(16), sc(422), sc(W - 16), sc(422)], fill=(34, 37, 46), width=sc(1))
    d.polygon([(sc(W - 150), sc(H - 1)), (sc(W - 40), sc(H - 1)), (sc(W - 36), sc(H - 4)), (sc(W - 146), sc(H - 4))],
              fill=ACCENT)


def draw_look(img, d, key, state):
    look = key.look
    r = key.rect
    if look == "button":
        look_button(img, d, r, state)
    elif look == "accent":
        look_button(img, d, r, state, accent=True)
    elif look == "tab":
        look_tab(img, d, r, state)
    elif look == "square":
        look_square(img, d, r, state)
    elif look == "check":
        look_check(img, d, r, state)
    elif look == "radio":
        look_radio(img, d, r, state)
    elif look == "notch":
        look_notch(img, d, r, state)
    elif look == "label":
        look_label(img, d, r, state)
    elif look == "mark":
        look_mark(img, d, r, state, key.kw["number"])
    elif look == "segment":
        look_segment(img, d, r, state, key.kw["level"])
    elif look == "bar":
        look_bar(img, d, r, state)
    elif look == "well":
        look_well(img, d, r, state)
    elif look == "glyph":
        look_glyph(img, d, r, state, key.kw["glyph"])
    elif look == "pill":
        look_pill(img, d, r, state)


def reduce(img):
    return img.resize((W if img.size[0] == sc(W) else img.size[0] // S, img.size[1] // S), Image.BOX)


def render_page(keys, background, state, extra=None):
    """A page in one state: every key with a look drawn in that state."""
    img, d = new_canvas()
    background(img, d)
    chrome(img, d)
    for key in keys:
        if key.look and key.look != "tile":
            draw_look(img, d, key, state)
    if extra:
        extra(img, d, state)
    return img.resize((out(W), out(H)), Image.BOX)


def main_background(img, d):
    panel(img, d, (16, 102, 344, 316))
    panel(img, d, (372, 102, 332, 316))
    draw_mouse(img, **MOUSE)
    # number badges beside the function labels
    for b in range(7):
        y = 142 + b * 38
        d.rounded_rectangle([sc(176), sc(y + 6), sc(192) - 1, sc(y + 22) - 1], radius=sc(3), fill=(40, 44, 54))
        text_centre(d, 184, y + 14.5, str(b + 1), font(SANS_BOLD, 10.5), INK)
    # DPI scale over the slider columns
    f = font(SANS_BOLD, 10)
    for j, v in enumerate(DPI_ORDER):
        text_centre(d, NOTCH_X0 + j * NOTCH_W + NOTCH_W / 2, 148, str(DPI_BY_INDEX[v]), f, INK_DIM)
    d.line([sc(384), sc(318), sc(692), sc(318)], fill=(34, 37, 46), width=sc(1))


def advanced_background(img, d):
    panel(img, d, (16, 102, 688, 192))
    panel(img, d, (16, 300, 688, 118), title_line=False)
    for name, (x, y, w, h) in ADVANCED_CONTROLS.values():
        # the child controls sit in dark wells with a frame of their own
        d.rectangle([sc(x - 2), sc(y - 2), sc(x + w + 2) - 1, sc(y + h + 2) - 1], fill=WELL, outline=(52, 57, 70),
                    width=sc(1))
    f = font(SANS, 9.5)
    text_centre(d, 206 + 4, 420 - 4, "", f, INK_DIM)


def colour_background(img, d):
    panel(img, d, (16, 102, 336, 316))
    panel(img, d, (364, 102, 340, 316))
    for i, name in enumerate(("blue", "pink", "red", "purple")):
        x = 180 + i * 40
        d.rounded_rectangle([sc(x), sc(386), sc(x + 30) - 1, sc(406) - 1], radius=sc(4), fill=LED_COLOURS[name],
                            outline=(255, 255, 255), width=sc(0.7))
        text_centre(d, x + 15, 396.5, str(i + 1), font(SANS_BOLD, 11), WHITE)


def tile_picture(led):
    """The preview tile: our mouse lit in one LED colour (or unlit)."""
    x, y, w, h = TILE
    img = Image.new("RGB", (sc(w), sc(h)), WELL)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([sc(1), sc(1), sc(w - 1) - 1, sc(h - 1) - 1], radius=sc(6), fill=(12, 13, 17),
                        outline=(52, 57, 70), width=sc(1))
    if led:
        glow = Image.new("RGBA", img.size, (0, 0, 0, 0))
        gd = ImageDraw.Draw(glow)
        for k in range(40, 0, -2):
            gd.ellipse([sc(w / 2 - k * 2.2), sc(h - 30 - k * 0.5), sc(w / 2 + k * 2.2), sc(h - 22 + k * 0.5)],
                       fill=led + (6,))
        img.paste(glow, (0, 0), glow)
    draw_mouse(img, cx=w / 2, top=24, length=h - 50, width=112, led=led or (0, 0, 0), lit=bool(led))
    return img


def paste_tile(page, led):
    tile = tile_picture(led).resize((out(TILE[2]), out(TILE[3])), Image.BOX)
    page.paste(tile, (out(TILE[0]), out(TILE[1])))


def warning_picture(keys, state):
    img = Image.new("RGB", (sc(WARN_W), sc(WARN_H)), BG)
    d = ImageDraw.Draw(img)
    for k in range(-WARN_H, WARN_W, 7):
        d.line([sc(k), 0, sc(k + WARN_H), sc(WARN_H)], fill=HATCH, width=sc(1))
    poly = [(sc(x), sc(y)) for x, y in window_poly(WARN_W - 1, WARN_H - 1, 14)]
    d.polygon(poly, outline=ACCENT, width=sc(2))
    d.rectangle([sc(8), sc(8), sc(WARN_W - 8) - 1, sc(42) - 1], fill=(30, 10, 14))
    # warning sign
    d.polygon([(sc(32), sc(12)), (sc(48), sc(38)), (sc(16), sc(38))], fill=(255, 196, 0))
    text_centre(d, 32, 29, "!", font(SANS_BOLD, 17), (20, 20, 20))
    d.line([sc(60), sc(25), sc(WARN_W - 20), sc(25)], fill=ACCENT_SOFT, width=sc(1))
    for key in keys:
        if key.look:
            draw_look(img, d, key, state)
    return img.resize((out(WARN_W), out(WARN_H)), Image.BOX)


def menu_picture(width, row, rows, state, arrows=()):
    height = rows * row + 1
    img = Image.new("RGB", (sc(width), sc(height)), PANEL)
    d = ImageDraw.Draw(img)
    for r in range(rows):
        y0 = r * row
        rect = (0, y0, width, row)
        if state == "over":
            gradient_rect(img, (2, y0 + 1, width - 4, row - 2), (48, 52, 66), (34, 37, 47), radius=3)
            d.rectangle([sc(2), sc(y0 + 3), sc(5) - 1, sc(y0 + row - 3) - 1], fill=ACCENT)
        elif state == "down":
            gradient_rect(img, (2, y0 + 1, width - 4, row - 2), (120, 16, 30), (80, 10, 20), radius=3)
            d.rectangle([sc(2), sc(y0 + 3), sc(5) - 1, sc(y0 + row - 3) - 1], fill=(255, 120, 130))
        if r > 0:
            d.line([sc(10), sc(y0), sc(width - 10), sc(y0)], fill=(38, 42, 52), width=sc(1))
        if r + 1 in arrows:
            cx, cy = width - 14, y0 + row / 2
            d.polygon([(sc(cx - 3), sc(cy - 5)), (sc(cx + 3), sc(cy)), (sc(cx - 3), sc(cy + 5))],
                      fill=ACCENT if state == "normal" else WHITE)
        _ = rect
    d.rectangle([0, 0, sc(width) - 1, sc(height) - 1], outline=(70, 76, 90), width=sc(1))
    return img.resize((out(width), out(height)), Image.BOX)


def mask_picture(w, h, chamfer):
    w, h = out(w), out(h)
    img = Image.new("RGB", (w, h), (255, 255, 255))
    ImageDraw.Draw(img).polygon(window_poly(w - 1, h - 1, chamfer * OUT), fill=(0, 0, 0))
    return img


def save_jpeg(img, name):
    img.save(os.path.join(SKINS, name), "JPEG", quality=JPEG_QUALITY, subsampling=0, optimize=False)


def save_mask(img, name):
    # Best quality, no colour subsampling: black and white stay far from the
    # threshold after decoding, so the shape has no stray pixels.
    path = os.path.join(SKINS, name)
    img.save(path, "JPEG", quality=100, subsampling=0)
    back = Image.open(path).convert("RGB")
    want = [p[0] > 100 for p in img.getdata()]
    got = [all(c > 100 for c in p) for p in back.getdata()]
    if want != got:
        raise SystemExit("mask %s does not survive JPEG coding exactly" % name)


# ------------------------------------------------------------ INI files


def ini_value(label, rect, caption):
    for part in (label, caption):
        if "," in part:
            raise SystemExit("a comma in %r would move the fields" % part)
    x, y, w, h = rect
    return "%s,%d,%d,%d,%d,%s," % (label, x, y, w, h, caption)


def write_ini(path, sections):
    lines = []
    for name, entries in sections:
        lines.append("[%s]" % name)
        for key, value in entries:
            lines.append("%s=%s" % (key, value))
        lines.append("")
    data = "\r\n".join(lines).encode("utf-16-le")
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + data)


def key_entries(keys, lang):
    out = []
    for key in sorted(keys, key=lambda k: k.n):
        out.append((str(key.n), ini_value(key.label, key.rect, key.en if lang == "en" else key.pt)))
    return out


# Which keys the program draws with their caption, per table (main: 0..53 on
# the main page; advanced 0..45; colour 0..12; warning 0..2). Captions the
# program replaces or does not show are skipped by the fit check.
def drawn_caption_keys(table, keys):
    if table == "main":
        return [k for k in keys if k.n <= 53 and not 25 <= k.n <= 31]
    if table == "advanced":
        return [k for k in keys if k.n not in (4, 33, 38, 39)]
    if table == "colour":
        return [k for k in keys if k.n != 9]
    return keys


def check_fit(table, keys, lang, problems):
    f = FONT_EN if lang == "en" else FONT_PT
    for key in drawn_caption_keys(table, keys):
        text = key.en if lang == "en" else key.pt
        x, y, w, h = key.rect
        if text and (f.width(text) + 4 > w or f.cell > h):
            problems.append("%s %s key %d: %r is %d px wide in a %d px box" % (lang, table, key.n, text,
                                                                              f.width(text), w))
    # replaced captions, at their longest
    longest = {"advanced": {4: ("Record", "Gravar"), 33: ("300ms", "300ms"), 38: ("[↓]254", "[↓]254"),
                            39: ("[↑]254", "[↑]254")}, "colour": {9: ("3200", "3200")}}.get(table, {})
    for n, (en, pt) in longest.items():
        key = next(k for k in keys if k.n == n)
        text = en if lang == "en" else pt
        if f.width(text) + 4 > key.rect[2]:
            problems.append("%s %s key %d: %r does not fit" % (lang, table, n, text))


def check_names(lang, problems):
    f = FONT_EN if lang == "en" else FONT_PT
    label_w = 156 - 5 - 16          # text starts 5 px in; the chevron takes the right end
    for code, names in FUNCTIONS.items():
        name = names[0] if lang == "en" else names[1]
        if "," in name:
            problems.append("comma in function name %r" % name)
        wide = f.width(name)
        reachable = code in range(1, 7) or 11 <= code <= 19 or 21 <= code <= 26 or 31 <= code <= 40
        if reachable and wide > label_w:
            problems.append("%s function %d %r is %d px, label has %d" % (lang, code, name, wide, label_w))
        if code <= 10 and wide + 40 > MENU_W:
            problems.append("%s menu row %d %r too wide" % (lang, code, name))
        if code > 10 and wide + 16 > SUBMENU_W:
            problems.append("%s submenu row %d %r too wide" % (lang, code, name))


# ------------------------------------------------------------ previews


def preview(picture, keys, lang, name, controls=None):
    img = picture.convert("RGB").resize((picture.size[0] * 2, picture.size[1] * 2), Image.NEAREST)
    f = FONT_EN if lang == "en" else FONT_PT
    base = picture.copy().convert("RGBA")
    for key in keys:
        text = key.en if lang == "en" else key.pt
        if not text or name.startswith("main") and key.n > 53:
            continue
        x, y, w, h = key.rect
        colour = (255, 255, 0) if (name.startswith("main") and key.n == 1) else WHITE
        if name.startswith("warning"):
            colour = (255, 0, 0)
        if name.startswith("main") and 50 <= key.n <= 53:
            colour = (255, 0, 0)
        t = f.render(text, colour)
        base.alpha_composite(t, (x + (w - t.size[0]) // 2, y + (h - t.size[1]) // 2))
    if name.startswith("main"):
        # the function labels with the factory profile's functions, left-aligned
        for b, code in enumerate(FACTORY["K"]):
            x, y, w, h = next(k for k in keys if k.n == 25 + b).rect
            t = f.render(FUNCTIONS[code][0 if lang == "en" else 1], WHITE)
            base.alpha_composite(t, (x + 5, y + (h - t.size[1]) // 2))
    img = base.convert("RGB").resize((picture.size[0] * 2, picture.size[1] * 2), Image.NEAREST)
    d = ImageDraw.Draw(img)
    lf = ImageFont.truetype(SANS_BOLD, 11)
    palette = [(0, 255, 120), (0, 200, 255), (255, 200, 0), (255, 90, 255)]
    for key in keys:
        x, y, w, h = key.rect
        col = palette[key.n % len(palette)]
        d.rectangle([x * 2, y * 2, (x + w) * 2 - 1, (y + h) * 2 - 1], outline=col, width=1)
        d.text((x * 2 + 2, y * 2 + 1), str(key.n), font=lf, fill=col)
    for (section, n), (label, (x, y, w, h)) in (controls or {}).items():
        d.rectangle([x * 2, y * 2, (x + w) * 2 - 1, (y + h) * 2 - 1], outline=(255, 60, 60), width=2)
        d.text((x * 2 + 4, y * 2 + 4), "%s %d" % (section, n), font=lf, fill=(255, 60, 60))
    img.save(os.path.join(PREVIEWS, name + ".png"))


def menu_preview(picture, row, names, lang, name):
    f = FONT_EN if lang == "en" else FONT_PT
    base = picture.convert("RGBA")
    for i, text in enumerate(names):
        t = f.render(text, WHITE)
        base.alpha_composite(t, ((picture.size[0] - t.size[0]) // 2, i * row + (row - t.size[1]) // 2))
    base.convert("RGB").resize((picture.size[0] * 2, picture.size[1] * 2), Image.NEAREST).save(
        os.path.join(PREVIEWS, name + ".png"))


def check_confined(normal, other, keys, what):
    """A state picture may differ from the normal one only inside keys."""
    inside = Image.new("L", normal.size, 0)
    d = ImageDraw.Draw(inside)
    for key in keys:
        x, y, w, h = key.rect
        d.rectangle([x, y, x + w - 1, y + h - 1], fill=255)
    diff = Image.eval(Image.composite(Image.new("RGB", normal.size), _diff(normal, other), inside), lambda v: v)
    if diff.getbbox():
        raise SystemExit("%s differs from the normal picture outside the keys at %s" % (what, diff.getbbox()))


def _diff(a, b):
    from PIL import ImageChops
    return ImageChops.difference(a, b)


def compose_previews(pages, colour_normal, mk, ak, ck, strip):
    """What the program shows, roughly: a few states copied onto each page."""
    def copy(base, src, keys, n, width=None):
        x, y, w, h = next(k for k in keys if k.n == n).rect
        w = w if width is None else width
        base.paste(src.crop((x, y, x + w, y + h)), (x, y))

    knob = Image.open(os.path.join(SKINS, "dpi_slider.jpg"))
    for lang in ("en", "pt"):
        f = FONT_EN if lang == "en" else FONT_PT
        i = 0 if lang == "en" else 1
        lang_key = 18 if lang == "en" else 17

        def texts(base, keys, first, last, colour_of=lambda n: WHITE):
            rgba = base.convert("RGBA")
            for key in keys:
                text = key.en if lang == "en" else key.pt
                if first <= key.n <= last and text:
                    x, y, w, h = key.rect
                    t = f.render(text, colour_of(key.n))
                    rgba.alpha_composite(t, (x + (w - t.size[0]) // 2, y + (h - t.size[1]) // 2))
            return rgba

        # main page: slot 1, main tab, factory DPI, wheel 0, pointer over label 1
        base = pages[("main", "normal")].copy()
        over, down = pages[("main", "over")], pages[("main", "down")]
        copy(base, over, mk, 25)
        copy(base, down, mk, 80)
        for n, v in enumerate(FACTORY["DPI_SET"]):
            x, y, w, h = next(k for k in mk if k.n == 60 + 5 * n + v).rect
            base.paste(knob.crop((0, 0, w, h)), (x, y))
            copy(base, down, mk, 46 + n)
        copy(base, down, mk, 41)
        copy(base, over, mk, 90)
        for n in (4, 9, lang_key):
            copy(base, down, mk, n)
        rgba = texts(base, [k for k in mk if k.n <= 53], 0, 53,
                     lambda n: (255, 255, 0) if n == 1 else (255, 0, 0) if 50 <= n <= 53 else WHITE)
        for b, code in enumerate(FACTORY["K"]):
            x, y, w, h = next(k for k in mk if k.n == 25 + b).rect
            t = f.render(FUNCTIONS[code][i], (255, 0, 0) if b == 0 else WHITE)
            rgba.alpha_composite(t, (x + 5, y + (h - t.size[1]) // 2))
        rgba.convert("RGB").save(os.path.join(PREVIEWS, "main_composed_%s.png" % lang))

        # advanced page: pointer speed 4, scroll 2, fire time 50, pointer over Save
        base = pages[("advanced", "normal")].copy()
        over, down = pages[("advanced", "over")], pages[("advanced", "down")]
        copy(base, over, ak, 5)
        copy(base, down, ak, 8 + 4)
        copy(base, down, ak, 18 + 2)
        bar = next(k for k in ak if k.n == 30).rect
        copy(base, down, ak, 30, width=50 * bar[2] // 300)
        for n in (4, 10, lang_key):
            copy(base, down, strip, n)
        rgba = texts(base, strip, 0, 19, lambda n: (255, 255, 0) if n == 1 else WHITE)
        base = texts(rgba.convert("RGB"), ak, 0, 45, lambda n: (255, 0, 0) if n == 5 else WHITE)
        base.convert("RGB").save(os.path.join(PREVIEWS, "advanced_composed_%s.png" % lang))

        # colour page: LED mode 0, tile in blue
        base = colour_normal.copy()
        copy(base, pages[("colour", "down")], ck, 0)
        blue = Image.open(os.path.join(SKINS, "color_over_blue.jpg"))
        copy(base, blue, ck, 11)
        for n in (4, 11, lang_key):
            copy(base, pages[("colour", "down")], strip, n)
        rgba = texts(base, strip, 0, 19, lambda n: (255, 255, 0) if n == 1 else WHITE)
        texts(rgba.convert("RGB"), ck, 0, 12).convert("RGB").save(
            os.path.join(PREVIEWS, "colour_composed_%s.png" % lang))


# ------------------------------------------------------------ config.ini

FACTORY = dict(K=[1, 2, 3, 5, 4, 18, 17], DPI_LEVEL=0, WHEEL_STATUS=0, MACRO_MODE2=0, DPI_SET=[1, 2, 4, 0],
               DPI_SET_EN=[1, 1, 1, 1], LED_STATUS=0, DPI_SPEED=4, WHEEL_SPEED=2, FIRE_TIME=50)
TEMPLATES = [
    # Office work: copy and paste on the side buttons, undo and a DPI cycle on top.
    ("CfgReset2", dict(K=[1, 2, 3, 32, 31, 34, 6], DPI_LEVEL=1, WHEEL_STATUS=0, MACRO_MODE2=0,
                       DPI_SET=[1, 2, 3, 4], DPI_SET_EN=[1, 1, 1, 1], LED_STATUS=2, DPI_SPEED=5,
                       WHEEL_SPEED=3, FIRE_TIME=50)),
    # Shooters: low sensitivity first, DPI up and down on top, two levels off, quick fire.
    ("CfgReset3", dict(K=[1, 2, 3, 5, 4, 18, 17], DPI_LEVEL=0, WHEEL_STATUS=0, MACRO_MODE2=0,
                       DPI_SET=[1, 2, 3, 0], DPI_SET_EN=[1, 1, 0, 0], LED_STATUS=2, DPI_SPEED=3,
                       WHEEL_SPEED=2, FIRE_TIME=40)),
    # MOBA: the first two macros on the side buttons, mute and DPI cycle on top,
    # macros repeat while held.
    ("CfgReset4", dict(K=[1, 2, 3, 41, 42, 26, 6], DPI_LEVEL=1, WHEEL_STATUS=0, MACRO_MODE2=1,
                       DPI_SET=[2, 3, 4, 0], DPI_SET_EN=[1, 1, 1, 0], LED_STATUS=0, DPI_SPEED=5,
                       WHEEL_SPEED=4, FIRE_TIME=80)),
    # Desktop: next profile and this PC on top, fast LED cycle.
    ("CfgReset5", dict(K=[1, 2, 3, 5, 4, 36, 40], DPI_LEVEL=1, WHEEL_STATUS=0, MACRO_MODE2=0,
                       DPI_SET=[1, 2, 4, 0], DPI_SET_EN=[1, 1, 1, 1], LED_STATUS=1, DPI_SPEED=4,
                       WHEEL_SPEED=2, FIRE_TIME=50)),
    # Media (English installations): play/pause and mute on top, volume on the wheel side.
    ("CfgReset_EN5", dict(K=[1, 2, 3, 24, 25, 26, 21], DPI_LEVEL=0, WHEEL_STATUS=0, MACRO_MODE2=0,
                          DPI_SET=[2, 4, 0, 3], DPI_SET_EN=[1, 1, 1, 0], LED_STATUS=3, DPI_SPEED=4,
                          WHEEL_SPEED=2, FIRE_TIME=50)),
]


def profile_lines(p):
    out = ["K%d=%d" % (i + 1, c) for i, c in enumerate(p["K"])]
    out += ["DPI_LEVEL=%d" % p["DPI_LEVEL"], "WHEEL_STATUS=%d" % p["WHEEL_STATUS"],
            "MACRO_MODE2=%d" % p["MACRO_MODE2"]]
    for j in range(4):
        out += ["DPI_SET%d=%d" % (j + 1, p["DPI_SET"][j]), "DPI_SET_EN%d=%d" % (j + 1, p["DPI_SET_EN"][j])]
    out += ["LED_STATUS=%d" % p["LED_STATUS"], "DPI_SPEED=%d" % p["DPI_SPEED"],
            "WHEEL_SPEED=%d" % p["WHEEL_SPEED"], "FIRE_TIME=%d" % p["FIRE_TIME"]]
    return out


def check_profile(name, p):
    assert p["DPI_SET_EN"][p["DPI_LEVEL"]] == 1, name + ": the current level must be enabled"
    assert 1 in p["K"], name + ": one button must keep the left click"
    assert all(0 <= v <= 4 for v in p["DPI_SET"]) and 0 <= p["FIRE_TIME"] <= 300


def write_config():
    templates = dict(TEMPLATES)
    lines = ["[Init]", "CurConfig=1", "VER_SEL=1", ""]
    # The user's slots start filled, so that the first start sends a working
    # profile to the mouse: slot 1 the factory values, slots 2 to 5 the templates.
    slots = [FACTORY, templates["CfgReset2"], templates["CfgReset3"], templates["CfgReset4"],
             templates["CfgReset_EN5"]]
    for n, p in enumerate(slots, 1):
        lines += ["[Config%d]" % n] + profile_lines(p) + [""]
    for name, p in TEMPLATES:
        check_profile(name, p)
        lines += ["[%s]" % name] + profile_lines(p) + [""]
    check_profile("factory", FACTORY)
    os.makedirs(DIST_DATA, exist_ok=True)
    with open(os.path.join(DIST_DATA, "config.ini"), "wb") as f:
        f.write("\r\n".join(lines).encode("ascii"))


# ------------------------------------------------------------ test data

WIDTH_CHARS = [chr(c) for c in range(0x20, 0x7F)] + [chr(c) for c in range(0xA0, 0x100)] + \
    ["\u2191", "\u2193", "\u2212"]


def write_width_tables():
    """Advance widths of the two UI faces for the caption-fit tests."""
    out = ["// Generated by tools/make_skins.py: advance widths in font units of the faces",
           "// that stand in for Arial (Liberation Sans) and Verdana (DejaVu Sans).",
           "#pragma once", "", "#include <cstdint>", "", "namespace nuv::test {", "",
           "struct FaceWidths {", "  int32_t unitsPerEm;", "  int32_t cellHeightUnits;  // winAscent + winDescent of the Windows face",
           "  int32_t averageWidth;     // xAvgCharWidth of the Windows face",
           "  char16_t chars[%d];" % len(WIDTH_CHARS), "  uint16_t widths[%d];" % len(WIDTH_CHARS), "};", ""]
    for name, path, face in (("kArialWidths", SANS, ARIAL_FACE), ("kVerdanaWidths", VERDANA_STANDIN, VERDANA_FACE)):
        upm = struct.unpack(">H", _tables(path)["head"][18:20])[0]
        cell_units, x_avg = face
        f = ImageFont.truetype(path, upm)
        chars = ", ".join("0x%04X" % ord(c) for c in WIDTH_CHARS)
        widths = ", ".join(str(int(round(f.getlength(c)))) for c in WIDTH_CHARS)
        out += ["inline constexpr FaceWidths %s = {" % name, "    %d, %d, %d," % (upm, cell_units, x_avg),
                "    {%s}," % chars, "    {%s}};" % widths, ""]
    out += ["}  // namespace nuv::test", ""]
    with open(os.path.join(ROOT, "tests", "skin_face_widths.h"), "w") as fh:
        fh.write("\n".join(out))


# ------------------------------------------------------------ main


def write_pictures(mk, ak, ck, wk, strip, tag):
    """Every picture of the skin at the scale OUT, its file name marked with `tag`
    ("" for the 1x pictures the skin files describe)."""
    pages = {}
    for state in ("normal", "over", "down"):
        pages[("main", state)] = render_page(mk, main_background, state)
        pages[("advanced", state)] = render_page(ak + strip, advanced_background, state)
        pages[("colour", state)] = render_page(ck + strip, colour_background, state)
    save_jpeg(pages[("main", "normal")], "main_normal" + tag + ".jpg")
    save_jpeg(pages[("main", "over")], "main_over" + tag + ".jpg")
    save_jpeg(pages[("main", "down")], "main_down" + tag + ".jpg")
    save_jpeg(pages[("advanced", "normal")], "advanced_normal" + tag + ".jpg")
    save_jpeg(pages[("advanced", "over")], "advanced_over" + tag + ".jpg")
    save_jpeg(pages[("advanced", "down")], "advanced_down" + tag + ".jpg")
    colour_files = [("normal", "pink", "color_normal_pink.jpg"), ("over", "red", "color_over_red.jpg"),
                    ("down", "purple", "color_down_purple.jpg"), ("normal", None, "color_normal_gray.jpg"),
                    ("normal", "blue", "color_over_blue.jpg")]
    for state, led, name in colour_files:
        page = pages[("colour", state)].copy()
        paste_tile(page, LED_COLOURS[led] if led else None)
        save_jpeg(page, name[:-4] + tag + ".jpg")
        if name == "color_normal_pink.jpg":
            colour_normal = page
    knob = Image.new("RGB", (sc(NOTCH_W), sc(DPI_ROW_H)), PANEL)
    look_notch(knob, ImageDraw.Draw(knob), (0, 0, NOTCH_W, DPI_ROW_H), "knob")
    save_jpeg(knob.resize((out(NOTCH_W), out(DPI_ROW_H)), Image.BOX), "dpi_slider" + tag + ".jpg")
    save_mask(mask_picture(W, H, 18), "main_mask" + tag + ".jpg")
    save_mask(mask_picture(WARN_W, WARN_H, 14), "warning_mask" + tag + ".jpg")
    warn_normal = warning_picture(wk, "normal")
    save_jpeg(warn_normal, "warning_normal" + tag + ".jpg")
    save_jpeg(warning_picture(wk, "over"), "warning_over" + tag + ".jpg")
    for state in ("normal", "over", "down"):
        save_jpeg(menu_picture(MENU_W, MENU_ROW, 10, state, arrows=(7, 8, 9, 10)), "menu_%s%s.jpg" % (state, tag))
        save_jpeg(menu_picture(SUBMENU_W, SUBMENU_ROW, 12, state), "advanced menu_%s%s.jpg" % (state, tag))
    save_mask(Image.new("RGB", (out(MENU_W), out(MENU_ROW * 10 + 1)), (0, 0, 0)), "menu_mask" + tag + ".jpg")
    save_mask(Image.new("RGB", (out(SUBMENU_W), out(SUBMENU_ROW * 12 + 1)), (0, 0, 0)),
              "advanced menu_mask" + tag + ".jpg")
    return pages, colour_normal, warn_normal


def main():
    os.makedirs(os.path.join(SKINS, "INI_EN"), exist_ok=True)
    os.makedirs(os.path.join(SKINS, "INI_CN"), exist_ok=True)
    os.makedirs(PREVIEWS, exist_ok=True)

    mk, ak, ck, wk = main_keys(), advanced_keys(), colour_keys(), warning_keys()
    problems = []
    for lang in ("en", "pt"):
        check_fit("main", mk, lang, problems)
        check_fit("advanced", ak, lang, problems)
        check_fit("colour", ck, lang, problems)
        check_fit("warning", wk, lang, problems)
        check_names(lang, problems)
    for keys, name in ((mk, "main"), (ak, "advanced"), (ck, "colour"), (wk, "warning")):
        limit = (WARN_W, WARN_H) if name == "warning" else (W, H)
        for key in keys:
            x, y, w, h = key.rect
            if w <= 0 or h <= 0 or x < 0 or y < 0 or x + w > limit[0] or y + h > limit[1]:
                problems.append("%s key %d outside the drawing" % (name, key.n))
    if problems:
        raise SystemExit("layout problems:\n  " + "\n  ".join(problems))

    strip = strip_keys()
    pages, colour_normal, warn_normal = write_pictures(mk, ak, ck, wk, strip, "")
    global S, OUT
    for scale, tag in HIGH_SCALES:
        S, OUT = HIGH_S, scale
        write_pictures(mk, ak, ck, wk, strip, tag)
    S, OUT = 3, 1

    # layout files
    for lang, folder, suffix in (("en", "INI_EN", "_en"), ("pt", "INI_CN", "")):
        names = [(str(c), FUNCTIONS[c][0 if lang == "en" else 1]) for c in range(1, 55)]
        write_ini(os.path.join(SKINS, folder, "skin_main%s.ini" % suffix),
                  [("BUTTONPOS", key_entries(mk, lang)), ("FUN_STRING", names)])
        controls = {}
        for (section, n), (label, rect) in ADVANCED_CONTROLS.items():
            controls.setdefault(section, []).append((str(n), ini_value(label, rect, "")))
        write_ini(os.path.join(SKINS, folder, "skin_advance%s.ini" % suffix),
                  [("BUTTONPOS", key_entries(ak, lang))] + [(s, sorted(e)) for s, e in sorted(controls.items())])
        write_ini(os.path.join(SKINS, folder, "skin_color%s.ini" % suffix), [("BUTTONPOS", key_entries(ck, lang))])
        write_ini(os.path.join(SKINS, folder, "LBWarning%s.ini" % suffix), [("BUTTONPOS", key_entries(wk, lang))])

        preview(pages[("main", "normal")], mk, lang, "main_%s" % lang)
        preview(pages[("advanced", "normal")], ak + strip, lang, "advanced_%s" % lang, ADVANCED_CONTROLS)
        preview(colour_normal, ck + strip, lang, "colour_%s" % lang)
        preview(warn_normal, wk, lang, "warning_%s" % lang)
        i = 0 if lang == "en" else 1
        menu_preview(menu_picture(MENU_W, MENU_ROW, 10, "normal", arrows=(7, 8, 9, 10)), MENU_ROW,
                     [FUNCTIONS[c][i] for c in range(1, 11)], lang, "menu_%s" % lang)
        menu_preview(menu_picture(SUBMENU_W, SUBMENU_ROW, 12, "normal"), SUBMENU_ROW,
                     [FUNCTIONS[c][i] for c in range(31, 41)], lang, "submenu_%s" % lang)
    for page, keys in (("main", mk), ("advanced", ak + strip), ("colour", ck + strip)):
        for state in ("over", "down"):
            check_confined(pages[(page, "normal")], pages[(page, state)], keys, "%s %s" % (page, state))
    compose_previews(pages, colour_normal, mk, ak, ck, strip)
    # state sheets for review: each page's over and down pictures
    for page in ("main", "advanced"):
        for state in ("over", "down"):
            pages[(page, state)].save(os.path.join(PREVIEWS, "%s_%s_state.png" % (page, state)))
    write_config()
    write_width_tables()
    print("skins written to %s, previews in %s" % (SKINS, PREVIEWS))


if __name__ == "__main__":
    sys.exit(main())
