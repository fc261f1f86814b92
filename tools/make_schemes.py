#!/usr/bin/env python3
"""Write the shipped notification schemes and their skin bitmaps.

Writes into schemes/ (installed as plugins\\kiv.scheme\\ beside kiv.tpl):
  standard.kivs  light, the default
  dark.kivs      dark
  rounded.kivs   warm card with corners rounded off by the colour key
each with <name>.bmp (normal window) and <name>_small.bmp (window without a
description), and docs/scheme-preview-<name>.png: the windows composed here the
way the module slices and stretches skins, at 2x, with placeholder bars where
the text goes.

Skin rules kept by every scheme below:
- Only the four corner slices carry detail; the edge and centre slices are
  flat along the direction they stretch (gradients run vertically only), so
  any window size looks right.
- A source bitmap is never taller or wider than the window it skins. Growing a
  slice only repeats pixels, while shrinking one with the default stretch mode
  ANDs pixels together and would darken edges and break the colour key.
- The whole header (icon and contact line) lies in the top slice, so when
  auto-height grows a window only the description area gets taller.

Run from anywhere: python3 tools/make_schemes.py
"""

import os
import struct
import sys

sys.dont_write_bytecode = True  # keep tools/ free of a __pycache__ from the import below
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_art import (ART_DIR, MAGENTA, Canvas, bmp24_bytes, edge, mix,  # noqa: E402
                      png_bytes, read_bmp24, rect, round_rect, write)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SCHEME_DIR = os.path.join(ROOT, "schemes")
DOCS_DIR = os.path.join(ROOT, "docs")
INSTALL_PREFIX = "#plugins\\kiv.scheme\\"

NORMAL = (250, 50)
SMALL = (250, 24)


def colorref(rgb):
    """A colour value as the scheme stores it: 0x00BBGGRR, in decimal."""
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


# --------------------------------------------------------------------------
# Fonts: a LOGFONTA stored the way WritePrivateProfileStructA stores a struct.

EASTEUROPE_CHARSET = 238
DEFAULT_QUALITY = 0
VARIABLE_PITCH_SWISS = 0x22  # VARIABLE_PITCH | FF_SWISS: a sans-serif fallback


def logfont(height, weight, face="Tahoma"):
    name = face.encode("ascii")
    return struct.pack("<iiiii8B32s", height, 0, 0, 0, weight,
                       0, 0, 0, EASTEUROPE_CHARSET, 0, 0, DEFAULT_QUALITY,
                       VARIABLE_PITCH_SWISS, name)


def profile_struct(data):
    return data.hex().upper() + "%02X" % (sum(data) & 0xFF)


def parse_profile_struct(text, size):
    """What GetPrivateProfileStructA accepts: 2*size hex digits plus a matching checksum."""
    if len(text) != 2 * size + 2:
        raise ValueError("struct has %d digits, expected %d" % (len(text), 2 * size + 2))
    data = bytes.fromhex(text[:-2])
    if int(text[-2:], 16) != sum(data) & 0xFF:
        raise ValueError("struct checksum mismatch")
    return data


# --------------------------------------------------------------------------
# Skin bitmaps

def skin(w, h, radius, border, fill_rows, key=MAGENTA, extra=None):
    """A card of w x h: rounded corners cut out with the key colour, a one-pixel
    border, and fill_rows(y) giving the colour of each inner row."""
    c = Canvas(w, h, key)
    shape = round_rect(w, h, 0, 0, w, h, radius) if radius else rect(0, 0, w, h)
    for x, y in shape:
        c.px[y][x] = fill_rows(y)
    if extra:
        extra(c, shape)
    c.put(edge(shape), border)
    return c


def band(top, bottom, y0, y1):
    """Vertical gradient over rows y0..y1 inclusive."""
    def colour(y):
        return mix(top, bottom, (y - y0) / max(1, y1 - y0))
    return colour


# standard: a light blue header over a white body.

STD_BORDER = (118, 146, 186)


def standard_normal():
    head = band((240, 246, 253), (212, 227, 247), 1, 21)
    body = band((255, 255, 255), (243, 246, 251), 23, 48)

    def rows(y):
        if y == 1:
            return (255, 255, 255)  # a top highlight
        if y <= 21:
            return head(y)
        if y == 22:
            return (176, 197, 226)  # separator under the header
        return body(y)
    return skin(32, 50, 3, STD_BORDER, rows)


def standard_small():
    head = band((240, 246, 253), (212, 227, 247), 1, 22)
    return skin(32, 24, 3, STD_BORDER, lambda y: (255, 255, 255) if y == 1 else head(y))


# dark: a charcoal card, a slightly lighter header and a teal accent line.

DARK_BORDER = (12, 12, 15)
DARK_ACCENT = (38, 186, 196)


def dark_normal():
    head = band((68, 72, 82), (50, 53, 62), 1, 20)
    body = band((40, 42, 48), (32, 33, 38), 23, 48)

    def rows(y):
        if y == 1:
            return (92, 96, 108)
        if y <= 20:
            return head(y)
        if y in (21, 22):
            return DARK_ACCENT
        return body(y)
    return skin(32, 50, 3, DARK_BORDER, rows)


def dark_small():
    head = band((68, 72, 82), (50, 53, 62), 1, 20)

    def rows(y):
        if y == 1:
            return (92, 96, 108)
        if y in (21, 22):
            return DARK_ACCENT
        return head(y)
    return skin(32, 24, 3, DARK_BORDER, rows)


# rounded: a cream card with radius-8 corners and an orange bar on the left.

RND_BORDER = (176, 112, 40)
RND_BAR_TOP, RND_BAR_BOTTOM = (252, 164, 64), (226, 106, 18)
RND_BAR_WIDTH = 6


def rounded(w, h):
    body = band((255, 252, 243), (251, 236, 208), 1, h - 2)
    bar = band(RND_BAR_TOP, RND_BAR_BOTTOM, 1, h - 2)

    def accent(c, shape):
        for x, y in shape:
            if x < RND_BAR_WIDTH:
                c.px[y][x] = bar(y)
            elif x == RND_BAR_WIDTH:
                c.px[y][x] = mix(bar(y), body(y), 0.5)  # soften the bar's edge
    return skin(w, h, 8, RND_BORDER, body, extra=accent)


# --------------------------------------------------------------------------
# Schemes

TITLE_FONT = logfont(-11, 700)
TEXT_FONT = logfont(-11, 400)

SCHEMES = [
    {
        "name": "standard",
        "title": "Standardowy",
        "normal": standard_normal, "cut": (4, 28, 23, 46),
        "small": standard_small, "cutsmall": (4, 28, 4, 20),
        "bgcolor": (255, 255, 255), "framecolor": STD_BORDER,
        "icon_pos": (5, 4),
        "id_rect": (26, 4, 244, 20), "id_color": (22, 46, 96),
        "desc_rect": (7, 25, 244, 46), "desc_color": (44, 44, 48),
    },
    {
        "name": "dark",
        "title": "Ciemny",
        "normal": dark_normal, "cut": (4, 28, 23, 46),
        "small": dark_small, "cutsmall": (4, 28, 4, 20),
        "bgcolor": (36, 38, 44), "framecolor": DARK_BORDER,
        "icon_pos": (5, 3),
        "id_rect": (26, 3, 244, 19), "id_color": (242, 244, 248),
        "desc_rect": (7, 25, 244, 46), "desc_color": (186, 192, 204),
    },
    {
        "name": "rounded",
        "title": "Zaokrąglony",
        "normal": lambda: rounded(40, 50), "cut": (10, 30, 22, 40),
        "small": lambda: rounded(40, 24), "cutsmall": (10, 30, 10, 14),
        "bgcolor": (254, 246, 228), "framecolor": RND_BORDER,
        "icon_pos": (12, 4),
        "id_rect": (34, 4, 238, 20), "id_color": (96, 50, 6),
        "desc_rect": (13, 23, 238, 45), "desc_color": (74, 60, 46),
    },
]


def kivs_text(s):
    def pair(v):
        return ",".join(str(n) for n in v)
    lines = [
        "; %s notification scheme, generated by tools/make_schemes.py" % s["name"],
        "[skin]",
        "window_size=%s" % pair(NORMAL),
        "window_sizesmall=%s" % pair(SMALL),
        "window_autoheight=1",
        "window_bgcolor=%d" % colorref(s["bgcolor"]),
        "window_framecolor=%d" % colorref(s["framecolor"]),
        "bitmap_colorkey=%d" % colorref(MAGENTA),
        "bitmap_source=%s%s.bmp" % (INSTALL_PREFIX, s["name"]),
        "bitmap_cut=%s" % pair(s["cut"]),
        "bitmap_sourcesmall=%s%s_small.bmp" % (INSTALL_PREFIX, s["name"]),
        "bitmap_cutsmall=%s" % pair(s["cutsmall"]),
        "icon_pos=%s" % pair(s["icon_pos"]),
        "id_rect=%s" % pair(s["id_rect"]),
        "id_font=%s" % profile_struct(TITLE_FONT),
        "id_color=%d" % colorref(s["id_color"]),
        "desc_rect=%s" % pair(s["desc_rect"]),
        "desc_font=%s" % profile_struct(TEXT_FONT),
        "desc_color=%d" % colorref(s["desc_color"]),
        "ver=2",
        "[info]",
        "title=%s" % s["title"],
    ]
    return ("\r\n".join(lines) + "\r\n").encode("cp1250")


def read_kivs(blob):
    """Read a scheme back the way the private-profile functions see it."""
    if b"\n" in blob.replace(b"\r\n", b""):
        raise ValueError("bare LF line ending")
    sections, current = {}, None
    for line in blob.decode("cp1250").split("\r\n"):
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            current = sections.setdefault(line.strip("[]").lower(), {})
        elif "=" in line:
            k, v = line.split("=", 1)
            current[k.strip().lower()] = v.strip()
    return sections


# --------------------------------------------------------------------------
# Composition, as the module does it: nine slices in a fixed order, corners
# copied, edges and centre stretched by repeating pixels.

def stretch(dst, src, d, s):
    dx, dy, dw, dh = d
    sx, sy, sw, sh = s
    if dw <= 0 or dh <= 0 or sw <= 0 or sh <= 0:
        return
    for y in range(dh):
        ty = dy + y
        if not 0 <= ty < dst.h:
            continue
        row = src.px[sy + y * sh // dh]
        for x in range(dw):
            tx = dx + x
            if 0 <= tx < dst.w:
                dst.px[ty][tx] = row[sx + x * sw // dw]


def compose(src, cut, W, H):
    x1, x2, y1, y2 = cut
    bw, bh = src.w, src.h
    rw, rb = bw - x2, bh - y2
    out = Canvas(W, H, (0, 0, 0))
    mid_h, mid_w = H - y1 - rb, W - x1 - rw
    stretch(out, src, (0, y1, x1, mid_h), (0, y1, x1, y2 - y1))
    stretch(out, src, (W - rw, y1, rw, mid_h), (x2, y1, rw, y2 - y1))
    stretch(out, src, (x1, y1, mid_w, mid_h), (x1, y1, x2 - x1, y2 - y1))
    stretch(out, src, (0, H - rb, x1, rb), (0, y2, x1, rb))
    stretch(out, src, (W - rw, H - rb, rw, rb), (x2, y2, rw, rb))
    stretch(out, src, (x1, H - rb, mid_w, rb), (x1, y2, x2 - x1, rb))
    stretch(out, src, (0, 0, x1, y1), (0, 0, x1, y1))
    stretch(out, src, (W - rw, 0, rw, y1), (x2, 0, rw, y1))
    stretch(out, src, (x1, 0, mid_w, y1), (x1, 0, x2 - x1, y1))
    return out


def window_picture(s, src, cut, W, H, desc_bottom, small, icon):
    """One notification as it would look on a desktop: key pixels show the
    desktop, the icon is drawn keyed, text is shown as bars."""
    desktop = (58, 96, 140)
    composed = compose(src, cut, W, H)
    pic = Canvas(W, H, desktop)
    for y in range(H):
        for x in range(W):
            p = composed.px[y][x]
            if p != MAGENTA:
                pic.px[y][x] = p
    ix, iy = s["icon_pos"]
    for y in range(icon.h):
        for x in range(icon.w):
            if icon.px[y][x] != MAGENTA and 0 <= ix + x < W and 0 <= iy + y < H:
                pic.px[iy + y][ix + x] = icon.px[y][x]
    l, t, r, b = s["id_rect"]
    words = [44, 30, 8, 58]
    text_bars(pic, (l, t, r, b), words, s["id_color"], 8, 16, one_line=True)
    if not small:
        l, t, r, _ = s["desc_rect"]
        words = [38, 22, 50, 14, 30, 44, 26, 18, 40, 34, 20, 46, 28, 36, 16, 42]
        text_bars(pic, (l, t, r, desc_bottom), words, s["desc_color"], 6, 13)
    return pic


def text_bars(pic, box, words, colour, cap, line_h, one_line=False):
    l, t, r, b = box
    y = t + (b - t - cap) // 2 if one_line else t + (line_h - cap) // 2 + 1
    x = l
    for w in words:
        if x + w > r:
            if one_line:
                break
            x, y = l, y + line_h
        if y + cap > b:
            break
        pic.put(rect(x, y, x + w, y + cap), mix(colour, pic.px[y][x], 0.35))
        x += w + 5


def preview(s, normal, small, icon, path):
    """Normal, grown by two description lines (auto-height), and small, at 2x."""
    grown = 26
    shots = [
        window_picture(s, normal, s["cut"], NORMAL[0], NORMAL[1], s["desc_rect"][3], False, icon),
        window_picture(s, normal, s["cut"], NORMAL[0], NORMAL[1] + grown,
                       s["desc_rect"][1] + 39, False, icon),
        window_picture(s, small, s["cutsmall"], SMALL[0], SMALL[1], 0, True, icon),
    ]
    scale, gap = 2, 12
    width = gap * 2 + NORMAL[0] * scale
    height = gap + sum(p.h * scale + gap for p in shots)
    sheet = Canvas(width, height, (58, 96, 140))
    y0 = gap
    for p in shots:
        for y in range(p.h * scale):
            row = p.px[y // scale]
            for x in range(p.w * scale):
                sheet.px[y0 + y][gap + x] = row[x // scale]
        y0 += p.h * scale + gap
    write(path, png_bytes(sheet))


# --------------------------------------------------------------------------
# Checks on what was written: each one is a fault a user would see.

# Every key the module reads; a misspelt one would silently fall back to its default.
KNOWN_KEYS = {
    "skin": {"window_size", "window_sizesmall", "window_autoheight", "window_bgcolor",
             "window_framecolor", "bitmap_colorkey", "bitmap_source", "bitmap_cut",
             "bitmap_sourcesmall", "bitmap_cutsmall", "icon_pos", "id_rect", "id_font",
             "id_color", "desc_rect", "desc_font", "desc_color", "ver"},
    "info": {"title"},
}


def luminance(rgb):
    def lin(c):
        c /= 255.0
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (lin(v) for v in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)

def check_scheme(s, kivs, normal, small):
    name = s["name"]

    def fail(msg):
        raise SystemExit("%s: %s" % (name, msg))

    for section, keys in kivs.items():
        unknown = set(keys) - KNOWN_KEYS.get(section, set())
        if unknown:
            fail("unknown keys in [%s]: %s" % (section, ", ".join(sorted(unknown))))
    skin_keys = kivs.get("skin", {})
    if set(skin_keys) != KNOWN_KEYS["skin"]:
        fail("missing keys: %s" % ", ".join(sorted(KNOWN_KEYS["skin"] - set(skin_keys))))
    for key in ("id_font", "desc_font"):
        font = parse_profile_struct(skin_keys[key], 60)
        if font[28:].rstrip(b"\0") != b"Tahoma" or font[23] != EASTEUROPE_CHARSET:
            fail("%s is not Tahoma in the Central European charset" % key)
    if skin_keys.get("ver") != "2":
        fail("ver must be 2 or the options page hides the scheme")
    if not kivs.get("info", {}).get("title"):
        fail("no title")
    for key, bmp in (("bitmap_source", normal), ("bitmap_sourcesmall", small)):
        want = INSTALL_PREFIX + os.path.basename(bmp[0])
        if skin_keys.get(key) != want:
            fail("%s is %r, expected %r" % (key, skin_keys.get(key), want))

    for label, (path, pic), cut, win in (("normal", normal, s["cut"], NORMAL),
                                          ("small", small, s["cutsmall"], SMALL)):
        x1, x2, y1, y2 = cut
        if not (0 <= x1 <= x2 <= pic.w and 0 <= y1 <= y2 <= pic.h):
            fail("%s cut %r outside its %dx%d bitmap" % (label, cut, pic.w, pic.h))
        if pic.w > win[0] or pic.h > win[1]:
            fail("%s bitmap is larger than its window and would be shrunk" % label)
        # Stretched slices must be flat along their stretch, or they smear.
        for y in range(pic.h):
            if len({pic.px[y][x] for x in range(x1, x2)}) > 1:
                fail("%s row %d varies across the stretched columns" % (label, y))
        for x in range(pic.w):
            if y2 > y1 and any(pic.px[y][x] == MAGENTA for y in range(y1, y2)):
                fail("%s column %d has key pixels in the stretched rows" % (label, x))

        composed = compose(pic, cut, *win)
        ix, iy = s["icon_pos"]
        areas = [("icon", (ix, iy, ix + 16, iy + 16)), ("id_rect", s["id_rect"])]
        if label == "normal":
            areas.append(("desc_rect", s["desc_rect"]))
        for what, (l, t, r, b) in areas:
            if not (0 <= l < r <= win[0] and 0 <= t < b <= win[1]):
                fail("%s %r outside the %s window" % (what, (l, t, r, b), label))
            for y in range(t, b):
                for x in range(l, r):
                    if composed.px[y][x] == MAGENTA:
                        fail("%s reaches the cut-out corner at %d,%d (%s)" % (what, x, y, label))
        # Small text on a skin must stay readable everywhere under it.
        texts = [(s["id_rect"], s["id_color"])]
        if label == "normal":
            texts.append((s["desc_rect"], s["desc_color"]))
        for (l, t, r, b), colour in texts:
            worst = min(contrast(colour, composed.px[y][x]) for y in range(t, b) for x in range(l, r))
            if worst < 4.5:
                fail("text colour %r has contrast %.1f on the %s skin" % (colour, worst, label))
        if label == "normal" and s["id_rect"][3] > y1:
            fail("the contact line is below the top slice and would move when the window grows")


def main():
    icon = read_bmp24(open(os.path.join(ART_DIR, "ico_small.bmp"), "rb").read())
    for s in SCHEMES:
        name = s["name"]
        outputs = {}
        for kind, suffix in (("normal", ""), ("small", "_small")):
            path = os.path.join(SCHEME_DIR, name + suffix + ".bmp")
            pic = s[kind]()
            write(path, bmp24_bytes(pic))
            back = read_bmp24(open(path, "rb").read())
            if back.px != pic.px:
                raise SystemExit("%s: pixels read back differ" % path)
            outputs[kind] = (path, back)
        kivs_path = os.path.join(SCHEME_DIR, name + ".kivs")
        write(kivs_path, kivs_text(s))
        kivs = read_kivs(open(kivs_path, "rb").read())
        check_scheme(s, kivs, outputs["normal"], outputs["small"])
        preview(s, outputs["normal"][1], outputs["small"][1], icon,
                os.path.join(DOCS_DIR, "scheme-preview-%s.png" % name))
        print("wrote schemes/%s.kivs, %s.bmp, %s_small.bmp, docs/scheme-preview-%s.png"
              % (name, name, name, name))


if __name__ == "__main__":
    sys.exit(main())
