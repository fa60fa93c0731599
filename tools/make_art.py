#!/usr/bin/python3
"""Draws every skin picture the launcher loads and writes them to res/.

    /usr/bin/python3 tools/make_art.py           # (re)write res/png_*.png
    /usr/bin/python3 tools/make_art.py --check   # verify what is in res/

Only Debian's python3-pil is needed. Everything is procedural and seeded, so
two runs give byte-identical files. Pillow cannot write Adam7-interlaced PNGs,
and the loader expects them, so a tiny encoder lives here.
"""

import math
import os
import random
import struct
import sys
import zlib

from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "res")
FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
BOLD = FONT_DIR + "DejaVuSans-Bold.ttf"
REGULAR = FONT_DIR + "DejaVuSans.ttf"

MAGENTA = (255, 0, 255)
WIN_W, WIN_H = 561, 219
BTN_W, BTN_H = 151, 50
CLOSE = 24
BAR_W, BAR_H = 355, 12

# Where the widgets sit on the window; the background is drawn around them.
STATUS_RECT = (25, 130, 500, 15)
BAR_RECTS = [(25, 145, BAR_W, BAR_H), (25, 163, BAR_W, BAR_H)]
START_RECT = (400, 135, BTN_W, BTN_H)
CLOSE_RECT = (524, 37, CLOSE, CLOSE)
WIDGET_RECTS = [STATUS_RECT] + BAR_RECTS + [START_RECT, CLOSE_RECT]

START_IDS = {"normal": 200, "hover": 145, "pressed": 144, "disabled": 146}
START2_IDS = {"normal": 147, "hover": 148, "pressed": 149, "disabled": 150}
CLOSE_IDS = {"normal": 152, "pressed": 153, "hover": 154}
BG_ID, FILL_ID = 151, 155


# --------------------------------------------------------------------------
# PNG encoder (8-bit RGBA, filter 0, optional Adam7)

ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4),
         (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def _chunk(tag, data):
    body = tag + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(w, h, rgba, interlace):
    """rgba: bytes of length w*h*4, rows top to bottom."""
    assert len(rgba) == w * h * 4
    raw = bytearray()
    if not interlace:
        for y in range(h):
            raw.append(0)
            raw += rgba[y * w * 4:(y + 1) * w * 4]
    else:
        for x0, y0, dx, dy in ADAM7:
            xs = range(x0, w, dx)
            ys = range(y0, h, dy)
            if not xs or not ys:
                continue  # empty passes carry no scanlines at all
            for y in ys:
                raw.append(0)
                row = y * w * 4
                for x in xs:
                    raw += rgba[row + x * 4:row + x * 4 + 4]
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 1 if interlace else 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", ihdr)
            + _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _chunk(b"IEND", b""))


def png_chunks(data):
    """[(tag, payload)] of a PNG file, for the checks."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    out, pos = [], 8
    while pos < len(data):
        n = struct.unpack(">I", data[pos:pos + 4])[0]
        out.append((data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]))
        pos += 12 + n
    return out


# --------------------------------------------------------------------------
# small helpers; colours are float tuples 0..255, alpha 0..1

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def smooth(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def coverage(w, h, draw_fn, ss=4):
    """Anti-aliased coverage (list of 0..1) of shapes drawn at ss x scale."""
    big = Image.new("L", (w * ss, h * ss), 0)
    draw_fn(ImageDraw.Draw(big), ss)
    small = big.resize((w, h), Image.BOX)
    return [v / 255.0 for v in small.getdata()]


def text_mask(w, h, x, y, text, font, spacing=0):
    """Coverage of text whose ink box starts at (x, y)."""
    img = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(img)
    l, t, r, b = d.textbbox((0, 0), text, font=font)
    if spacing:
        cx = x - l
        for ch in text:
            d.text((cx, y - t), ch, fill=255, font=font)
            cx += d.textlength(ch, font=font) + spacing
    else:
        d.text((x - l, y - t), text, fill=255, font=font)
    return img


def text_size(text, font, spacing=0):
    d = ImageDraw.Draw(Image.new("L", (1, 1)))
    l, t, r, b = d.textbbox((0, 0), text, font=font)
    if spacing:
        return sum(d.textlength(c, font=font) for c in text) + spacing * (len(text) - 1), b - t
    return r - l, b - t


def blur(values, w, h, radius):
    img = Image.new("L", (w, h))
    img.putdata([int(round(clamp(v) * 255)) for v in values])
    img = img.filter(ImageFilter.GaussianBlur(radius))
    return [v / 255.0 for v in img.getdata()]


class Value1D:
    """Seeded smooth 1-D value noise, summed over octaves."""

    def __init__(self, seed, n=512):
        rnd = random.Random(seed)
        self.v = [rnd.uniform(-1, 1) for _ in range(n)]
        self.n = n

    def _at(self, x):
        i = math.floor(x)
        f = x - i
        f = f * f * (3 - 2 * f)
        a = self.v[i % self.n]
        b = self.v[(i + 1) % self.n]
        return a + (b - a) * f

    def fbm(self, x, octaves=5):
        s, amp, freq, norm = 0.0, 1.0, 1.0, 0.0
        for _ in range(octaves):
            s += amp * self._at(x * freq)
            norm += amp
            amp *= 0.5
            freq *= 2.03
        return s / norm

    def ridged(self, x, octaves=4):
        """0..1 with sharp crests: folded noise, squared, summed over octaves."""
        s, amp, freq, norm = 0.0, 1.0, 1.0, 0.0
        for _ in range(octaves):
            v = 1 - abs(self._at(x * freq))
            s += amp * v * v
            norm += amp
            amp *= 0.38
            freq *= 2.1
        return s / norm


# --------------------------------------------------------------------------
# window background (561x219, opaque, magenta outside the shape)

def window_mask():
    """Hard inside/outside test per pixel centre: raised title tab with a 45
    degree shoulder on the left, rounded body below it."""
    r = 14

    def in_round_rect(px, py, x0, y0, x1, y1, rad):
        if not (x0 <= px <= x1 and y0 <= py <= y1):
            return False
        cx = min(max(px, x0 + rad), x1 - rad)
        cy = min(max(py, y0 + rad), y1 - rad)
        return (px - cx) ** 2 + (py - cy) ** 2 <= rad * rad

    inside = []
    for y in range(WIN_H):
        for x in range(WIN_W):
            px, py = x + 0.5, y + 0.5
            body = in_round_rect(px, py, 0, 12, WIN_W, WIN_H, r)
            tab = (in_round_rect(px, py, 0, 0, 120, 60, r)
                   or (py >= 0 and px >= r and px <= 300 + py and py <= 30))
            inside.append(body or tab)
    return inside


def build_background():
    w, h = WIN_W, WIN_H
    n = w * h
    rnd = random.Random(151)

    # sky: deep navy at the top, violet lower down, teal-leaning on the left
    col = [None] * n
    for y in range(h):
        ty = y / (h - 1)
        base = mix((12, 18, 42), (30, 22, 64), smooth(0.0, 0.55, ty))
        for x in range(w):
            tx = x / (w - 1)
            c = mix(base, (base[0] * 0.7, base[1] * 1.15 + 4, base[2] * 1.05), (1 - tx) * 0.6)
            col[y * w + x] = c

    def add_glow(cx, cy, rx, ry, color, strength):
        for y in range(h):
            dy = (y - cy) / ry
            for x in range(w):
                dx = (x - cx) / rx
                d2 = dx * dx + dy * dy
                if d2 > 6:
                    continue
                k = strength * math.exp(-d2 * 1.6)
                i = y * w + x
                c = col[i]
                col[i] = (c[0] + color[0] * k, c[1] + color[1] * k, c[2] + color[2] * k)

    add_glow(150, 30, 260, 90, (20, 110, 140), 0.55)     # teal haze behind the title
    add_glow(480, 10, 200, 110, (110, 40, 160), 0.55)    # violet glow top right
    add_glow(300, 112, 210, 26, (230, 140, 50), 0.42)    # warm dawn on the horizon

    # soft light rays fanning down from beyond the top-right edge
    ox, oy = 420.0, -60.0
    rays = [(-2.55, 0.05, 0.9), (-2.3, 0.07, 0.7), (-2.05, 0.045, 0.8),
            (-1.8, 0.06, 0.55), (-2.75, 0.04, 0.6), (-1.55, 0.05, 0.45)]
    for y in range(h):
        for x in range(w):
            dx, dy = x - ox, y - oy
            ang = math.atan2(-dy, dx)  # about -pi/2 straight down, more negative = leftwards
            dist = math.hypot(dx, dy)
            s = 0.0
            for a, wd, k in rays:
                s += k * math.exp(-((ang - a) / wd) ** 2)
            s *= math.exp(-dist / 320.0) * smooth(140, 60, y)
            if s > 0.002:
                i = y * w + x
                c = col[i]
                col[i] = (c[0] + 55 * s, c[1] + 100 * s, c[2] + 130 * s)

    # a few stars in the upper sky
    for _ in range(70):
        x = rnd.randrange(4, w - 4)
        y = rnd.randrange(14, 88)
        b = rnd.uniform(0.15, 0.55) * smooth(95, 30, y)
        i = y * w + x
        col[i] = mix(col[i], (220, 230, 255), b)
    for x, y in [(372, 24), (214, 66), (498, 78), (92, 74)]:
        for ddx, ddy, b in [(0, 0, 0.8), (1, 0, 0.3), (-1, 0, 0.3), (0, 1, 0.3), (0, -1, 0.3)]:
            i = (y + ddy) * w + x + ddx
            col[i] = mix(col[i], (235, 240, 255), b)

    # mountain ranges, far to near; far ones pick up haze and a rim of dawn light
    layers = [
        # seed, base y, height, scale, how low it stays on the left (under
        # the title), colour, rim colour, rim strength
        (11, 94, 46, 120.0, 0.35, (46, 46, 98), (255, 170, 90), 0.6),
        (23, 106, 30, 80.0, 0.6, (27, 29, 66), (210, 140, 120), 0.4),
        (37, 117, 16, 55.0, 1.0, (14, 16, 38), (120, 110, 170), 0.3),
    ]
    for seed, base, amp, scale, low, mcol, rim, rk in layers:
        noise = Value1D(seed)
        ridge = [base - amp * (low + (1 - low) * smooth(140, 360, x)) * noise.ridged(x / scale + 3.0)
                 for x in range(w)]
        # faces turned toward the rays (rising to the right) catch a little
        # light; taken from a smoothed crest so it shades slopes, not pixels
        soft = [sum(ridge[min(w - 1, max(0, x + k))] for k in range(-5, 6)) / 11.0 for x in range(w)]
        lit = [clamp((soft[max(0, x - 4)] - soft[min(w - 1, x + 4)]) / 6.0, -1, 1) for x in range(w)]
        for x in range(w):
            top = ridge[x]
            for y in range(int(top) - 1, h):
                cov = clamp(y + 1 - top)
                if cov <= 0:
                    continue
                depth = y - top
                c = mix(mcol, (mcol[0] * 0.6, mcol[1] * 0.6, mcol[2] * 0.75), smooth(0, 40, depth))
                k = lit[x] * 0.25 * math.exp(-depth / 18.0)
                c = mix(c, (110, 120, 190), k) if k > 0 else mix(c, (0, 0, 8), -k)
                c = mix(c, rim, rk * math.exp(-depth / 1.6) * cov)
                i = y * w + x
                col[i] = mix(col[i], c, cov)
        # haze pooling in the valleys above the next range
        for y in range(int(base) - 6, min(h, int(base) + 18)):
            t = 0.22 * smooth(base - 6, base + 8, y) * smooth(base + 18, base + 8, y)
            for x in range(w):
                if y > ridge[x]:
                    i = y * w + x
                    col[i] = mix(col[i], (70, 80, 130), t)

    # dark console panel along the bottom, with a lit top edge
    panel = (9, 11, 23)
    for y in range(112, h):
        a = 0.93 * smooth(114, 127, y)
        for x in range(w):
            i = y * w + x
            col[i] = mix(col[i], panel, a)
    for x in range(w):
        fade = math.exp(-((x - 230) / 190.0) ** 2)
        for y, k in [(122, 0.75), (123, 0.25), (121, 0.2), (124, 0.1), (125, 0.05)]:
            i = y * w + x
            col[i] = mix(col[i], (70, 200, 230), k * fade)
    # faint vertical sheen so the lower panel is not flat
    for y in range(126, h):
        for x in range(w):
            i = y * w + x
            k = 0.05 * math.exp(-((x - 200) / 230.0) ** 2) * smooth(h, 126, y)
            col[i] = mix(col[i], (60, 90, 150), k)

    # faint dot grid in the empty floor under the bars, fading out to the right
    for y in range(184, h - 4, 4):
        for x in range(20, 392, 4):
            k = 0.16 * smooth(392, 40, x) * smooth(184, 196, y) * smooth(h - 4, h - 12, y)
            i = y * w + x
            col[i] = mix(col[i], (80, 150, 200), k)

    # recessed troughs for the two progress bars: dark slot, top inner shadow,
    # dark frame above/left, light lip below/right
    for bx, by, bw, bh in BAR_RECTS:
        for y in range(by - 1, by + bh + 1):
            for x in range(bx - 1, bx + bw + 1):
                i = y * w + x
                if y == by - 1 or x == bx - 1:
                    col[i] = (3, 3, 8)
                elif y == by + bh or x == bx + bw:
                    col[i] = (44, 54, 86)
                else:
                    yy = y - by
                    c = (5, 6, 13)
                    if yy == 0:
                        c = (1, 1, 4)
                    elif yy == 1:
                        c = (3, 4, 9)
                    elif yy == bh - 1:
                        c = (10, 12, 24)
                    col[i] = c

    # shallow plate under the start button
    px0, py0, px1, py1 = 396, 131, 555, 190
    plate = coverage(w, h, lambda d, s: d.rounded_rectangle(
        (px0 * s, py0 * s, px1 * s - 1, py1 * s - 1), radius=10 * s, fill=255))
    lip = coverage(w, h, lambda d, s: d.rounded_rectangle(
        (px0 * s, (py0 + 1) * s, px1 * s - 1, (py1 + 1) * s - 1), radius=10 * s, fill=255))
    for i in range(n):
        if lip[i] > plate[i]:
            col[i] = mix(col[i], (40, 48, 80), (lip[i] - plate[i]) * 0.9)
        if plate[i] > 0:
            col[i] = mix(col[i], (5, 6, 14), plate[i] * 0.8)

    # title: white-to-ice lettering on a teal glow, gold underline
    font = ImageFont.truetype(BOLD, 25)
    tx, ty = 28, 20
    tm = list(text_mask(w, h, tx, ty, "GAME LAUNCHER", font).getdata())
    tm = [v / 255.0 for v in tm]
    glow = blur(tm, w, h, 5)
    for i in range(n):
        if glow[i] > 0:
            col[i] = mix(col[i], (40, 170, 210), clamp(glow[i] * 0.7))
    shadow = [0.0] * n
    for y in range(h - 2):
        for x in range(w - 1):
            shadow[(y + 2) * w + x + 1] = tm[y * w + x]
    for i in range(n):
        if shadow[i] > 0:
            col[i] = mix(col[i], (0, 0, 0), shadow[i] * 0.6)
    tw, th = text_size("GAME LAUNCHER", font)
    for y in range(h):
        g = clamp((y - ty) / max(1, th))
        c = mix((255, 255, 255), (150, 220, 240), g)
        for x in range(w):
            i = y * w + x
            if tm[i] > 0:
                col[i] = mix(col[i], c, tm[i])
    uy = ty + th + 6
    for x in range(tx, tx + tw + 40):
        k = smooth(tx + tw + 40, tx + 20, x)
        col[uy * w + x] = mix(col[uy * w + x], (230, 180, 40), 0.9 * k)
        col[(uy + 1) * w + x] = mix(col[(uy + 1) * w + x], (120, 80, 10), 0.5 * k)
    sub = ImageFont.truetype(REGULAR, 9)
    sm = text_mask(w, h, tx + 1, uy + 6, "UPDATE  \u00b7  PATCH  \u00b7  PLAY", sub, spacing=1.2)
    for i, v in enumerate(sm.getdata()):
        if v:
            col[i] = mix(col[i], (150, 175, 215), v / 255.0 * 0.85)

    # cut the shape; light outer rim and a dark ring inside it for a bevel
    inside = window_mask()

    def is_in(x, y):
        return 0 <= x < w and 0 <= y < h and inside[y * w + x]

    ring1 = [False] * n
    for y in range(h):
        for x in range(w):
            if inside[y * w + x] and not all(is_in(x + a, y + b) for a, b in
                                             ((1, 0), (-1, 0), (0, 1), (0, -1))):
                ring1[y * w + x] = True
    for y in range(h):
        for x in range(w):
            i = y * w + x
            if not inside[i]:
                continue
            if ring1[i]:
                col[i] = mix((96, 118, 180), (40, 46, 80), smooth(10, 200, y))
            elif any(ring1[(y + b) * w + x + a] for a, b in ((1, 0), (-1, 0), (0, 1), (0, -1))
                     if 0 <= x + a < w and 0 <= y + b < h):
                col[i] = mix(col[i], (0, 0, 0), 0.55)

    out = bytearray()
    for i in range(n):
        if inside[i]:
            r, g, b = (int(round(clamp(v, 0, 255))) for v in col[i])
            if (r, g, b) == MAGENTA:
                g = 1  # the key colour is reserved for the cut-out
            out += bytes((r, g, b, 255))
        else:
            out += bytes(MAGENTA + (255,))
    return bytes(out)


# --------------------------------------------------------------------------
# buttons (151x50, premultiplied, soft black drop shadow)

def premul_pixels(layers, n):
    """Composite [(rgb list or single rgb, alpha list)] bottom to top, in
    premultiplied float, and quantise so that no channel exceeds alpha and
    fully transparent pixels are black."""
    pr = [0.0] * n
    pg = [0.0] * n
    pb = [0.0] * n
    pa = [0.0] * n
    for rgb, alpha in layers:
        single = isinstance(rgb, tuple)
        for i in range(n):
            a = alpha[i]
            if a <= 0:
                continue
            c = rgb if single else rgb[i]
            k = 1 - a
            pr[i] = c[0] / 255.0 * a + pr[i] * k
            pg[i] = c[1] / 255.0 * a + pg[i] * k
            pb[i] = c[2] / 255.0 * a + pb[i] * k
            pa[i] = a + pa[i] * k
    out = bytearray()
    for i in range(n):
        A = int(round(clamp(pa[i]) * 255))
        if A == 0:
            out += b"\0\0\0\0"
            continue
        out += bytes((min(A, int(round(clamp(pr[i]) * 255))),
                      min(A, int(round(clamp(pg[i]) * 255))),
                      min(A, int(round(clamp(pb[i]) * 255))), A))
    return bytes(out)


BUTTON_STYLES = {
    # top, middle, bottom of the face gradient, border, text, text emboss
    "start": dict(top=(255, 222, 120), mid=(245, 168, 36), bot=(190, 100, 8),
                  border=(92, 46, 0), text=(56, 26, 0), emboss=(255, 226, 150),
                  label="START", glyph="play"),
    "start2": dict(top=(130, 236, 246), mid=(24, 164, 200), bot=(4, 92, 132),
                   border=(0, 40, 64), text=(255, 255, 255), emboss=(0, 44, 70),
                   label="PLAY", glyph="chevrons"),
}


SHADOW_FLOOR = 0.03


def build_button(kind, state):
    w, h = BTN_W, BTN_H
    n = w * h
    st = dict(BUTTON_STYLES[kind])
    shift = 1 if state == "pressed" else 0
    x0, y0, x1, y1 = 5, 3 + shift, w - 5, h - 6 + shift
    rad = 10

    def face_shape(d, s):
        d.rounded_rectangle((x0 * s, y0 * s, x1 * s - 1, y1 * s - 1), radius=rad * s, fill=255)

    face = coverage(w, h, face_shape)

    # drop shadow: the face, nudged down, blurred; pressed sits closer to the plate
    sh_off = 1 if state == "pressed" else 2
    sh_img = Image.new("L", (w * 4, h * 4), 0)
    ImageDraw.Draw(sh_img).rounded_rectangle(
        (x0 * 4, (y0 + sh_off) * 4, x1 * 4 - 1, (y1 + sh_off) * 4 - 1), radius=rad * 4, fill=255)
    sh_img = sh_img.resize((w, h), Image.BOX).filter(ImageFilter.GaussianBlur(2.2))
    # lift the floor so the blur tail ends instead of greying the whole margin
    shadow = [clamp((v / 255.0 - SHADOW_FLOOR) / (1 - SHADOW_FLOOR)) * 0.85 for v in sh_img.getdata()]

    def grade(c, state):
        if state == "hover":
            return mix(c, (255, 255, 255), 0.16)
        if state == "pressed":
            return tuple(v * 0.8 for v in c)
        if state == "disabled":
            lum = 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]
            return mix((lum, lum, lum), (120, 120, 124), 0.55)
        return c

    top, mid, bot = (grade(st[k], state) for k in ("top", "mid", "bot"))
    border = grade(st["border"], state) if state != "disabled" else (60, 60, 64)

    body = [None] * n
    fh = y1 - y0
    for y in range(h):
        t = clamp((y - y0) / fh)
        c = mix(top, mid, t / 0.5) if t < 0.5 else mix(mid, bot, (t - 0.5) / 0.5)
        for x in range(w):
            body[y * w + x] = c

    # glossy upper half
    gloss_k = {"normal": 0.22, "hover": 0.3, "pressed": 0.1, "disabled": 0.08}[state]
    gloss = coverage(w, h, lambda d, s: d.rounded_rectangle(
        ((x0 + 2) * s, (y0 + 2) * s, (x1 - 2) * s - 1, int((y0 + fh * 0.48) * s)),
        radius=(rad - 2) * s, fill=255))
    for y in range(h):
        fall = 1 - clamp((y - y0) / (fh * 0.5))
        for x in range(w):
            i = y * w + x
            if gloss[i] > 0:
                body[i] = mix(body[i], (255, 255, 255), gloss[i] * gloss_k * (0.4 + 0.6 * fall))

    # 1px dark border with a bright inner line under the top edge
    inner = coverage(w, h, lambda d, s: d.rounded_rectangle(
        ((x0 + 1) * s, (y0 + 1) * s, (x1 - 1) * s - 1, (y1 - 1) * s - 1), radius=(rad - 1) * s, fill=255))
    inner2 = coverage(w, h, lambda d, s: d.rounded_rectangle(
        ((x0 + 1) * s, (y0 + 2) * s, (x1 - 1) * s - 1, (y1 - 1) * s - 1), radius=(rad - 1) * s, fill=255))
    hl = 0.55 if state != "disabled" else 0.25
    for i in range(n):
        if face[i] > 0:
            lit = clamp(inner[i] - inner2[i])
            c = mix(body[i], (255, 255, 255), lit * hl)
            body[i] = mix(border, c, inner[i])

    # label with a play glyph in front of it
    font = ImageFont.truetype(BOLD, 17)
    label = st["label"]
    tw, th = text_size(label, font, spacing=1)
    gw, gap = 12, 8
    total = gw + gap + tw
    lx = int(round((x0 + x1) / 2 - total / 2))
    cy = (y0 + y1) / 2
    ty = int(round(cy - th / 2)) - 1
    tmask_img = text_mask(w, h, lx + gw + gap, ty, label, font, spacing=1)
    gimg = Image.new("L", (w * 4, h * 4), 0)
    gd = ImageDraw.Draw(gimg)
    gx = lx * 4
    gc = cy * 4
    if st["glyph"] == "play":
        gd.polygon([(gx, gc - 26), (gx + gw * 4, gc), (gx, gc + 26)], fill=255)
    else:
        for k in (0, 6.5):
            ox = gx + k * 4
            gd.polygon([(ox, gc - 24), (ox + 10, gc - 24), (ox + 22, gc), (ox + 10, gc + 24),
                        (ox, gc + 24), (ox + 12, gc)], fill=255)
    gimg = gimg.resize((w, h), Image.BOX)
    tm = [max(a, b) / 255.0 for a, b in zip(tmask_img.getdata(), gimg.getdata())]

    text_c = st["text"]
    emboss_c = st["emboss"]
    if state == "disabled":
        text_c, emboss_c = (78, 78, 82), (175, 175, 178)
    elif state == "pressed":
        text_c = tuple(v * 0.85 for v in text_c)
    # a 1px lip under the label: light under dark text, shadow under light text
    for y in range(h):
        for x in range(w):
            i = y * w + x
            sy = y - 1
            if 0 <= sy < h and tm[sy * w + x] > 0:
                body[i] = mix(body[i], emboss_c, tm[sy * w + x] * 0.55 * face[i])
    for i in range(n):
        if tm[i] > 0:
            body[i] = mix(body[i], text_c, tm[i])

    return premul_pixels([((0, 0, 0), shadow), (body, face)], n)


# --------------------------------------------------------------------------
# close button (24x24, hard alpha)

def build_close(state):
    s = CLOSE
    n = s * s
    styles = {
        "normal": ((52, 58, 92), (22, 24, 44), (110, 124, 170), (206, 214, 236)),
        "hover": ((236, 78, 84), (170, 30, 42), (255, 150, 150), (255, 255, 255)),
        "pressed": ((140, 28, 38), (92, 14, 24), (170, 70, 74), (235, 200, 200)),
    }
    hi, lo, rim, xc = styles[state]
    shift = 1 if state == "pressed" else 0
    c = s / 2.0
    inside, col = [], []
    for y in range(s):
        for x in range(s):
            d = math.hypot(x + 0.5 - c, y + 0.5 - c)
            inside.append(d <= 11.9)
            t = clamp((y + 0.5) / s)
            base = mix(hi, lo, t)
            if d > 10.9:
                base = rim if y < s * 0.55 else mix(rim, lo, 0.5)
            col.append(base)
    xm = coverage(s, s, lambda d, k: (
        d.line([(7.5 * k, (7.5 + shift) * k), (16.5 * k, (16.5 + shift) * k)], fill=255, width=int(2.6 * k)),
        d.line([(16.5 * k, (7.5 + shift) * k), (7.5 * k, (16.5 + shift) * k)], fill=255, width=int(2.6 * k))))
    out = bytearray()
    for i in range(n):
        if not inside[i]:
            out += b"\0\0\0\0"
            continue
        r, g, b = (int(round(v)) for v in mix(col[i], xc, xm[i]))
        out += bytes((r, g, b, 255))
    return bytes(out)


# --------------------------------------------------------------------------
# progress fill (355x12, opaque). Columns get dropped to show a fraction, so
# it is a smooth left-to-right gradient with a glassy vertical profile only.

def build_fill():
    w, h = BAR_W, BAR_H
    left, right = (0, 96, 170), (70, 226, 255)
    # vertical profile: brightness multiplier and white gloss per row
    prof = [(1.15, 0.45), (1.1, 0.32), (1.05, 0.24), (1.0, 0.18), (1.0, 0.12), (0.98, 0.04),
            (0.92, 0.0), (0.88, 0.0), (0.86, 0.0), (0.84, 0.02), (0.8, 0.05), (0.55, 0.0)]
    out = bytearray()
    for y in range(h):
        mul, gl = prof[y]
        for x in range(w):
            t = x / (w - 1)
            c = mix(left, right, t * t * (3 - 2 * t) * 0.5 + t * 0.5)
            c = tuple(v * mul for v in c)
            c = mix(c, (255, 255, 255), gl)
            if x == w - 1:
                c = mix(c, (220, 250, 255), 0.5)  # bright leading edge
            r, g, b = (int(round(clamp(v, 0, 255))) for v in c)
            out += bytes((r, g, b, 255))
    return bytes(out)


# --------------------------------------------------------------------------

def all_pictures():
    """{id: (w, h, rgba bytes, interlaced)}"""
    pics = {BG_ID: (WIN_W, WIN_H, build_background(), False)}
    for state, pid in START_IDS.items():
        pics[pid] = (BTN_W, BTN_H, build_button("start", state), True)
    for state, pid in START2_IDS.items():
        pics[pid] = (BTN_W, BTN_H, build_button("start2", state), True)
    for state, pid in CLOSE_IDS.items():
        pics[pid] = (CLOSE, CLOSE, build_close(state), True)
    pics[FILL_ID] = (BAR_W, BAR_H, build_fill(), True)
    return pics


def path_of(pid):
    return os.path.join(RES, "png_%d.png" % pid)


def write_all():
    os.makedirs(RES, exist_ok=True)
    for pid, (w, h, rgba, inter) in sorted(all_pictures().items()):
        data = encode_png(w, h, rgba, inter)
        with open(path_of(pid), "wb") as f:
            f.write(data)
        # the encoder must round-trip through an independent decoder
        im = Image.open(path_of(pid))
        im.load()
        if im.size != (w, h) or im.mode != "RGBA" or im.tobytes() != rgba:
            sys.exit("png_%d.png does not decode to what was drawn" % pid)
        print("wrote res/png_%d.png  %dx%d%s" % (pid, w, h, "  interlaced" if inter else ""))


# --------------------------------------------------------------------------
# verification of what is in res/

def lum(p):
    return 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2]


def check():
    errors = []

    def err(pid, msg):
        errors.append("png_%d.png: %s" % (pid, msg))

    expect = {BG_ID: (WIN_W, WIN_H, False), FILL_ID: (BAR_W, BAR_H, True)}
    for pid in list(START_IDS.values()) + list(START2_IDS.values()):
        expect[pid] = (BTN_W, BTN_H, True)
    for pid in CLOSE_IDS.values():
        expect[pid] = (CLOSE, CLOSE, True)

    px = {}
    for pid, (w, h, inter) in sorted(expect.items()):
        p = path_of(pid)
        if not os.path.exists(p):
            err(pid, "missing")
            continue
        with open(p, "rb") as f:
            raw = f.read()
        try:
            chunks = png_chunks(raw)
        except ValueError as e:
            err(pid, str(e))
            continue
        tags = [t for t, _ in chunks]
        if tags[0] != b"IHDR" or tags[-1] != b"IEND" or set(tags) - {b"IHDR", b"IDAT", b"IEND"}:
            err(pid, "unexpected chunks %s" % tags)
        iw, ih, depth, ctype, _, _, ilace = struct.unpack(">IIBBBBB", chunks[0][1])
        if (depth, ctype) != (8, 6):
            err(pid, "bit depth %d colour type %d, want 8/6" % (depth, ctype))
        if ilace != (1 if inter else 0):
            err(pid, "interlace flag %d, want %d" % (ilace, 1 if inter else 0))
        im = Image.open(p)
        if bool(im.info.get("interlace")) != inter:
            err(pid, "Pillow sees interlace=%r" % im.info.get("interlace"))
        if im.size != (w, h) or im.mode != "RGBA":
            err(pid, "size %s mode %s, want %dx%d RGBA" % (im.size, im.mode, w, h))
            continue
        px[pid] = list(im.getdata())

    # background
    if BG_ID in px:
        d = px[BG_ID]
        w, h = WIN_W, WIN_H
        if any(p[3] != 255 for p in d):
            err(BG_ID, "not fully opaque")
        mag = [p[:3] == MAGENTA for p in d]
        if not mag[0] or not mag[w - 1] or not mag[-1]:
            err(BG_ID, "corners are not cut out")
        # every magenta pixel must belong to the cut-out touching the border
        seen = [False] * (w * h)
        stack = [i for i in range(w * h) if mag[i] and
                 (i % w in (0, w - 1) or i // w in (0, h - 1))]
        for i in stack:
            seen[i] = True
        while stack:
            i = stack.pop()
            x, y = i % w, i // w
            for a, b in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if 0 <= x + a < w and 0 <= y + b < h:
                    j = i + b * w + a
                    if mag[j] and not seen[j]:
                        seen[j] = True
                        stack.append(j)
        stray = sum(1 for i in range(w * h) if mag[i] and not seen[i])
        if stray:
            err(BG_ID, "%d magenta pixels inside the art" % stray)
        # no anti-aliasing toward the key colour along the cut
        pink = 0
        for i in range(w * h):
            if mag[i]:
                continue
            x, y = i % w, i // w
            if any(0 <= x + a < w and 0 <= y + b < h and mag[i + b * w + a]
                   for a, b in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                r, g, b_, _ = d[i]
                if min(r, b_) - g > 90:
                    pink += 1
        if pink:
            err(BG_ID, "%d edge pixels look blended toward magenta" % pink)
        for rx, ry, rw, rh in WIDGET_RECTS + [(524, 37, 32, 32)]:
            bad = sum(1 for y in range(ry, ry + rh) for x in range(rx, rx + rw) if mag[y * w + x])
            if bad:
                err(BG_ID, "%d magenta pixels under widget rect %s" % (bad, (rx, ry, rw, rh)))

    def partial_rules(pid, d):
        for p in d:
            if 0 < p[3] < 255 and max(p[:3]) > p[3]:
                err(pid, "partly transparent pixel %s has a channel above alpha" % (p,))
                return

    # buttons
    for kind, ids in (("start", START_IDS), ("start2", START2_IDS)):
        means = {}
        for state, pid in ids.items():
            if pid not in px:
                continue
            d = px[pid]
            partial_rules(pid, d)
            part = [p for p in d if 0 < p[3] < 255]
            if not 1200 <= len(part) <= 1700:
                err(pid, "%d partly transparent pixels, want 1200..1700" % len(part))
            dark = sum(1 for p in part if max(p[:3]) * 255 < 64 * p[3])
            if dark * 2 < len(part):
                err(pid, "soft edge is not mostly dark shadow (%d of %d)" % (dark, len(part)))
            if any(p[3] == 0 and p[:3] != (0, 0, 0) for p in d):
                err(pid, "transparent pixels must be black")
            solid = [p for p in d if p[3] == 255]
            means[state] = (sum(lum(p) for p in solid) / max(1, len(solid)),
                            sum(max(p[:3]) - min(p[:3]) for p in solid) / max(1, len(solid)))
        if len(means) == 4:
            if not means["hover"][0] > means["normal"][0] > means["pressed"][0]:
                err(ids["hover"], "%s states not ordered hover > normal > pressed in brightness" % kind)
            if means["disabled"][1] > 20:
                err(ids["disabled"], "%s disabled face is not grey" % kind)

    # close faces
    cm = {}
    for state, pid in CLOSE_IDS.items():
        if pid not in px:
            continue
        d = px[pid]
        if any(p[3] not in (0, 255) for p in d):
            err(pid, "alpha must be 0 or 255 only")
        if any(p[3] == 0 and p[:3] != (0, 0, 0) for p in d):
            err(pid, "transparent pixels must be black")
        solid = [p for p in d if p[3] == 255]
        if len(solid) < 300:
            err(pid, "badge too small (%d opaque pixels)" % len(solid))
        cm[state] = (sum(lum(p) for p in solid) / max(1, len(solid)),
                     sum(p[0] - p[2] for p in solid) / max(1, len(solid)))
    if len(cm) == 3:
        if cm["hover"][1] <= cm["normal"][1]:
            err(CLOSE_IDS["hover"], "hover is not redder than normal")
        if cm["pressed"][0] >= cm["hover"][0]:
            err(CLOSE_IDS["pressed"], "pressed is not darker than hover")

    if FILL_ID in px:
        partial_rules(FILL_ID, px[FILL_ID])

    for e in errors:
        print("FAIL", e)
    print("checked %d pictures: %s" % (len(expect), "ok" if not errors else "%d problem(s)" % len(errors)))
    return 1 if errors else 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--check"]:
        sys.exit(check())
    if sys.argv[1:]:
        sys.exit("usage: make_art.py [--check]")
    write_all()
