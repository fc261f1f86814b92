#!/usr/bin/env python3
"""Draw the module's resource pictures and cursors.

Writes into src/resources/art/:
  message.bmp, chatmessage.bmp, ico_small.bmp (16 x 16), ico_big.bmp (32 x 32)
      24-bit bottom-up BMPs; magenta is the transparent colour the window
      painter keys out.
  hand_open.cur, hand_close.cur
      32 x 32 monochrome cursors (XOR + AND mask) for dragging the options page.
and docs/art-preview.png, every picture at 8x on a checkerboard (transparent
pixels), with a red cross on each cursor's hotspot.

Everything is drawn from simple shapes sampled at pixel centres, without
anti-aliasing: a blended edge pixel would no longer match the colour key and
would show as a pink fringe.

Run from anywhere: python3 tools/make_art.py
The written files are read back with an independent parser before the script
reports success, so a layout mistake fails here and not in the resource
compiler or, worse, silently in Wine.
"""

import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ART_DIR = os.path.join(ROOT, "src", "resources", "art")
DOCS_DIR = os.path.join(ROOT, "docs")

MAGENTA = (255, 0, 255)


# --------------------------------------------------------------------------
# Masks: sets of (x, y) pixels, built by testing each pixel centre.

def mask_where(w, h, inside):
    return {(x, y) for y in range(h) for x in range(w) if inside(x + 0.5, y + 0.5)}


def round_rect(w, h, x0, y0, x1, y1, r):
    """Rounded rectangle covering [x0, x1) x [y0, y1) with corner radius r."""
    def inside(px, py):
        if not (x0 <= px <= x1 and y0 <= py <= y1):
            return False
        cx = min(max(px, x0 + r), x1 - r)
        cy = min(max(py, y0 + r), y1 - r)
        return (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    return mask_where(w, h, inside)


def rect(x0, y0, x1, y1):
    return {(x, y) for y in range(y0, y1) for x in range(x0, x1)}


def disc(w, h, cx, cy, r):
    return mask_where(w, h, lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r)


def capsule(w, h, ax, ay, bx, by, r):
    """All pixels within r of the segment a-b: a stroke with round caps."""
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy

    def inside(px, py):
        t = 0.0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
        qx, qy = ax + t * dx, ay + t * dy
        return (px - qx) ** 2 + (py - qy) ** 2 <= r * r
    return mask_where(w, h, inside)


def polygon(w, h, pts):
    """Even-odd fill of a closed polygon."""
    def inside(px, py):
        c = False
        n = len(pts)
        for i in range(n):
            (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % n]
            if (ya > py) != (yb > py):
                if px < xa + (py - ya) * (xb - xa) / (yb - ya):
                    c = not c
        return c
    return mask_where(w, h, inside)


def edge(mask):
    """Pixels of the mask with a 4-neighbour outside it: a one-pixel outline."""
    return {(x, y) for (x, y) in mask
            if any(n not in mask for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}


def line_pixels(x0, y0, x1, y1):
    """Bresenham: a one-pixel line without gaps, which centre sampling can't promise."""
    pts = []
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        pts.append((x0, y0))
        if x0 == x1 and y0 == y1:
            return pts
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


# --------------------------------------------------------------------------
# Canvas

class Canvas:
    def __init__(self, w, h, fill=MAGENTA):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, pts, colour):
        for x, y in pts:
            if 0 <= x < self.w and 0 <= y < self.h:
                self.px[y][x] = colour

    def get(self, x, y):
        return self.px[y][x]

    def shaded(self, mask, top, bottom):
        """Fill with a vertical blend from top to bottom over the mask's extent."""
        if not mask:
            return
        ys = [y for _, y in mask]
        y0, y1 = min(ys), max(ys)
        for x, y in mask:
            t = 0.0 if y1 == y0 else (y - y0) / (y1 - y0)
            self.put([(x, y)], mix(top, bottom, t))

    def sticker(self, mask, fill, outline, bottom=None):
        """A filled shape with a one-pixel dark rim; bottom gives a vertical shade."""
        if bottom is None:
            self.put(mask, fill)
        else:
            self.shaded(mask, fill, bottom)
        self.put(edge(mask), outline)

    def line(self, x0, y0, x1, y1, colour):
        self.put(line_pixels(x0, y0, x1, y1), colour)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# --------------------------------------------------------------------------
# File formats

def bmp24_bytes(c):
    """24-bit uncompressed BMP, bottom-up, rows padded to 4 bytes."""
    row = c.w * 3
    pad = (4 - row % 4) % 4
    data = bytearray()
    for y in range(c.h - 1, -1, -1):
        for r, g, b in c.px[y]:
            data += bytes((b, g, r))
        data += b"\0" * pad
    info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return head + info + bytes(data)


def read_bmp24(blob):
    """Independent reader used to check what was written; returns a Canvas."""
    magic, size, _, _, off = struct.unpack_from("<2sIHHI", blob, 0)
    hsize, w, h, planes, bpp, comp = struct.unpack_from("<IiiHHI", blob, 14)
    if magic != b"BM" or size != len(blob) or hsize != 40 or planes != 1 or bpp != 24 or comp != 0:
        raise ValueError("not a plain 24-bit BMP")
    if h <= 0:
        raise ValueError("expected a bottom-up BMP")
    stride = (w * 3 + 3) & ~3
    if off + stride * h != len(blob):
        raise ValueError("pixel data size does not match the header")
    c = Canvas(w, h)
    for row in range(h):
        base = off + (h - 1 - row) * stride
        for x in range(w):
            b, g, r = blob[base + 3 * x: base + 3 * x + 3]
            c.px[row][x] = (r, g, b)
    return c


# Cursor pixel kinds.
CLEAR, BLACK, WHITE = 0, 1, 2


def cur_bytes(kinds, hotspot):
    """Windows .cur file with one 1-bpp image (XOR bits + AND mask).

    kinds is a 32 x 32 list of rows of CLEAR/BLACK/WHITE. Clear pixels have
    AND 1 / XOR 0 so the screen shows through; the palette is black, white.
    """
    size = 32
    stride = 4  # 32 bits a row, already a multiple of 4 bytes

    def plane(bit_of):
        out = bytearray()
        for y in range(size - 1, -1, -1):
            bits = 0
            for x in range(size):
                bits = (bits << 1) | bit_of(kinds[y][x])
            out += bits.to_bytes(stride, "big")
        return bytes(out)

    xor = plane(lambda k: 1 if k == WHITE else 0)
    and_ = plane(lambda k: 1 if k == CLEAR else 0)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0,
                       len(xor) + len(and_), 0, 0, 2, 2)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + xor + and_
    hx, hy = hotspot
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hx, hy, len(image), 6 + 16)
    return header + entry + image


def read_cur(blob):
    """Independent reader: returns (kinds, hotspot)."""
    reserved, typ, count = struct.unpack_from("<HHH", blob, 0)
    if reserved != 0 or typ != 2 or count != 1:
        raise ValueError("not a one-image cursor file")
    w, h, _, _, hx, hy, nbytes, off = struct.unpack_from("<BBBBHHII", blob, 6)
    if off + nbytes != len(blob):
        raise ValueError("image size/offset do not match the file")
    hsize, bw, bh, planes, bpp = struct.unpack_from("<IiiHH", blob, off)
    if (hsize, bw, bh, planes, bpp) != (40, w, 2 * h, 1, 1):
        raise ValueError("unexpected cursor image header")
    pal = blob[off + 40: off + 48]
    stride = ((w + 31) // 32) * 4
    xor_off = off + 48
    and_off = xor_off + stride * h
    if and_off + stride * h != len(blob):
        raise ValueError("cursor bits do not fill the image")

    def bit(base, x, y):
        row = base + (h - 1 - y) * stride
        return (blob[row + x // 8] >> (7 - x % 8)) & 1

    kinds = []
    for y in range(h):
        row = []
        for x in range(w):
            a, c = bit(and_off, x, y), bit(xor_off, x, y)
            if a:
                if c:
                    raise ValueError("inverting pixel at %d,%d" % (x, y))
                row.append(CLEAR)
            else:
                colour = pal[4 * c: 4 * c + 3]
                row.append(WHITE if colour == b"\xff\xff\xff" else BLACK)
        kinds.append(row)
    return kinds, (hx, hy)


def png_bytes(c):
    raw = bytearray()
    for row in c.px:
        raw.append(0)
        for r, g, b in row:
            raw += bytes((r, g, b))

    def chunk(tag, body):
        return (struct.pack(">I", len(body)) + tag + body
                + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", c.w, c.h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def write(path, blob):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(blob)


# --------------------------------------------------------------------------
# Pictures

INK = (38, 42, 58)  # the common dark rim


def draw_message():
    """A closed envelope with its flap."""
    c = Canvas(16, 16)
    body = rect(0, 3, 16, 14)
    c.sticker(body, (255, 252, 238), INK, bottom=(236, 228, 200))
    # The flap: a triangle from the top corners down to the middle, a shade
    # darker than the body so the V reads even at actual size.
    flap = polygon(16, 16, [(1, 4), (15, 4), (8, 10.5)]) - edge(body)
    c.put(flap, (240, 208, 120))
    c.line(1, 4, 7, 10, INK)
    c.line(14, 4, 8, 10, INK)
    # The lower folds meet the flap's tip, in a lighter line.
    fold = (150, 140, 118)
    c.line(1, 12, 5, 8, fold)
    c.line(14, 12, 10, 8, fold)
    return c


def draw_chatmessage():
    """Two overlapping speech bubbles: a blue one behind, a white one in front."""
    c = Canvas(16, 16)
    back = round_rect(16, 16, 0, 0, 11, 8, 2.6) | polygon(16, 16, [(2, 7), (6, 7), (1.5, 11)])
    c.sticker(back, (150, 196, 250), (24, 60, 128), bottom=(92, 150, 226))
    front = round_rect(16, 16, 4, 5, 16, 13, 2.6) | polygon(16, 16, [(10, 12), (15, 12), (15, 16)])
    c.sticker(front, (255, 255, 255), INK, bottom=(222, 226, 236))
    for x in (7, 10, 13):
        c.put([(x, 9)], (60, 70, 96))
    return c


def k_strokes(w, h, s, width):
    """The letter k inside the badge, built from three round-capped strokes."""
    r = width / 2.0
    stem = capsule(w, h, 5.0 * s, 3.2 * s, 5.0 * s, 12.8 * s, r)
    arm = capsule(w, h, 6.0 * s, 9.2 * s, 10.6 * s, 6.0 * s, r)
    leg = capsule(w, h, 7.4 * s, 8.6 * s, 11.0 * s, 12.8 * s, r)
    return stem | arm | leg


def draw_mark(size):
    """The module's mark: a blue rounded notification card with a white k and,
    at 32 px, an orange dot for 'something new'."""
    c = Canvas(size, size)
    s = size / 16.0
    card = round_rect(size, size, 0, 0, size, size, 3.2 * s)
    c.sticker(card, (96, 168, 246), (16, 44, 104), bottom=(28, 98, 204))
    if size >= 32:
        # A lighter inner rim at the top-left makes the card look raised.
        inner = edge(card - edge(card))
        c.put({(x, y) for (x, y) in inner if x + y < size}, (150, 200, 255))
    k = k_strokes(size, size, s, 2.2 if size < 32 else 4.4)
    c.put(k, (255, 255, 255))
    if size >= 32:
        c.put(edge(k), (255, 255, 255))
        dot = disc(size, size, 25.5, 6.5, 5.6)
        c.sticker(dot, (255, 178, 64), (120, 52, 0), bottom=(236, 110, 20))
    return c


# Cursors are drawn as labelled shapes: palm and fingers. Outlines go where a
# shape meets the background, and between two fingers, but not where a finger
# joins the palm, so the hand reads as one piece.

def hand_kinds(shapes, seams):
    """shapes: list of (label, mask), later ones on top; seams: label pairs that
    get a dividing line where they touch."""
    label = {}
    for name, m in shapes:
        for p in m:
            label[p] = name
    kinds = [[CLEAR] * 32 for _ in range(32)]
    for (x, y), name in label.items():
        if not (0 <= x < 32 and 0 <= y < 32):
            continue
        k = WHITE
        for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
            other = label.get(n)
            if other is None:
                k = BLACK
            elif other != name and (name, other) in seams and name > other:
                # One side of a seam is enough: a single-pixel divider.
                k = BLACK
        kinds[y][x] = k
    return kinds


def finger_seams(names):
    return {(a, b) for a in names for b in names if a != b}


def finger(x, top, bottom):
    """A finger five pixels wide with a rounded tip; neighbours share an edge column."""
    return round_rect(32, 32, x, top, x + 5, bottom, 2.0)


def draw_hand_open():
    W = H = 32
    palm = round_rect(W, H, 9, 13, 26, 29, 4.0) | rect(11, 26, 24, 31)
    fingers = [
        ("f1", finger(9, 6, 18)),
        ("f2", finger(13, 3, 18)),
        ("f3", finger(17, 4, 18)),
        ("f4", finger(21, 7, 18)),
    ]
    thumb = ("th", capsule(W, H, 11.0, 23.0, 4.6, 15.4, 2.4))
    shapes = [("palm", palm)] + fingers + [thumb]
    kinds = hand_kinds(shapes, finger_seams(["f1", "f2", "f3", "f4"]))
    return kinds, (17, 19)


def draw_hand_close():
    W = H = 32
    palm = round_rect(W, H, 9, 15, 26, 29, 4.0) | rect(11, 26, 24, 31)
    # Curled fingers: only the knuckles show above the fist.
    knuckles = [
        ("f1", finger(9, 12, 19)),
        ("f2", finger(13, 10, 19)),
        ("f3", finger(17, 10, 19)),
        ("f4", finger(21, 12, 19)),
    ]
    thumb = ("th", capsule(W, H, 11.0, 24.0, 7.0, 18.6, 2.4))
    shapes = [("palm", palm)] + knuckles + [thumb]
    # A fold line under the knuckles shows the fingers bent into the palm.
    seams = finger_seams(["f1", "f2", "f3", "f4"])
    seams |= {(a, b) for a in ("palm", "f1", "f2", "f3", "f4") for b in ("palm", "f1", "f2", "f3", "f4") if a != b}
    kinds = hand_kinds(shapes, seams)
    return kinds, (17, 21)


# --------------------------------------------------------------------------
# Preview sheet

def checker(x, y, cell=8):
    return (204, 204, 204) if ((x // cell) + (y // cell)) % 2 else (244, 244, 244)


def kinds_canvas(kinds):
    colours = {BLACK: (0, 0, 0), WHITE: (255, 255, 255), CLEAR: MAGENTA}
    c = Canvas(32, 32)
    for y in range(32):
        for x in range(32):
            c.px[y][x] = colours[kinds[y][x]]
    return c


def preview(pictures, path):
    """Three tiles a row; each picture at 8x, then at actual size on a light
    and on a dark ground, which is how legibility should be judged."""
    scale, tile, gap, cols = 8, 256, 16, 3
    rows = (len(pictures) + cols - 1) // cols
    cell_h = tile + 56
    sheet = Canvas(gap + cols * (tile + gap), gap + rows * (cell_h + gap), (96, 104, 120))
    for i, (pic, hotspot) in enumerate(pictures):
        ox = gap + (i % cols) * (tile + gap)
        oy = gap + (i // cols) * (cell_h + gap)
        for y in range(tile):
            for x in range(tile):
                sheet.px[oy + y][ox + x] = checker(x, y)
        for y in range(pic.h):
            for x in range(pic.w):
                colour = pic.px[y][x]
                if colour == MAGENTA:
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        sheet.px[oy + y * scale + dy][ox + x * scale + dx] = colour
        if hotspot:
            hx, hy = ox + hotspot[0] * scale + scale // 2, oy + hotspot[1] * scale + scale // 2
            for d in range(-6, 7):
                sheet.px[hy][hx + d] = (230, 0, 0)
                sheet.px[hy + d][hx] = (230, 0, 0)
        for j, ground in enumerate(((255, 255, 255), (40, 40, 48))):
            bx, by = ox + j * 48, oy + tile + 8
            for y in range(40):
                for x in range(40):
                    sheet.px[by + y][bx + x] = ground
            for y in range(pic.h):
                for x in range(pic.w):
                    if pic.px[y][x] != MAGENTA:
                        sheet.px[by + 4 + y][bx + 4 + x] = pic.px[y][x]
    write(path, png_bytes(sheet))


# --------------------------------------------------------------------------

def check_picture(c, name):
    """Faults that would show in the product: wrong size, no transparent
    surround (the icon would paint a square), or a blank picture."""
    want = 32 if name == "ico_big" else 16
    if (c.w, c.h) != (want, want):
        raise SystemExit("%s: size %dx%d, expected %d" % (name, c.w, c.h, want))
    colours = {p for row in c.px for p in row}
    if MAGENTA not in colours:
        raise SystemExit("%s: no transparent pixels" % name)
    if len(colours - {MAGENTA}) < 3:
        raise SystemExit("%s: fewer than three drawn colours" % name)
    near = [p for p in colours if p != MAGENTA and p[1] < 40 and p[0] > 215 and p[2] > 215]
    if near:
        raise SystemExit("%s: near-magenta colours %r would leave a fringe" % (name, near))


def check_cursor(kinds, hotspot, name):
    hx, hy = hotspot
    if kinds[hy][hx] == CLEAR:
        raise SystemExit("%s: hotspot %r is not on the hand" % (name, hotspot))
    # White must never touch the transparent surround, or on a white page the
    # hand's edge would vanish.
    for y in range(32):
        for x in range(32):
            if kinds[y][x] != WHITE:
                continue
            for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                if not (0 <= nx < 32 and 0 <= ny < 32) or kinds[ny][nx] == CLEAR:
                    raise SystemExit("%s: white pixel %d,%d has no outline" % (name, x, y))


def main():
    pictures = [
        ("message", draw_message()),
        ("chatmessage", draw_chatmessage()),
        ("ico_small", draw_mark(16)),
        ("ico_big", draw_mark(32)),
    ]
    cursors = [
        ("hand_open",) + draw_hand_open(),
        ("hand_close",) + draw_hand_close(),
    ]

    sheet = []
    for name, pic in pictures:
        path = os.path.join(ART_DIR, name + ".bmp")
        write(path, bmp24_bytes(pic))
        with open(path, "rb") as f:
            back = read_bmp24(f.read())
        if back.px != pic.px:
            raise SystemExit("%s: pixels read back differ" % name)
        check_picture(back, name)
        sheet.append((back, None))
    for name, kinds, hotspot in cursors:
        path = os.path.join(ART_DIR, name + ".cur")
        write(path, cur_bytes(kinds, hotspot))
        with open(path, "rb") as f:
            back, back_hot = read_cur(f.read())
        if back != kinds or back_hot != hotspot:
            raise SystemExit("%s: cursor read back differs" % name)
        check_cursor(back, back_hot, name)
        sheet.append((kinds_canvas(back), back_hot))

    preview(sheet, os.path.join(DOCS_DIR, "art-preview.png"))
    for name in [n for n, _ in pictures]:
        print("wrote", os.path.relpath(os.path.join(ART_DIR, name + ".bmp"), ROOT))
    for name, _, _ in cursors:
        print("wrote", os.path.relpath(os.path.join(ART_DIR, name + ".cur"), ROOT))
    print("wrote docs/art-preview.png")


if __name__ == "__main__":
    sys.exit(main())
