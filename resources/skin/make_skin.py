#!/usr/bin/env python3
"""Draws lexdrill's own skin: the description (lexdrill/Skin.ini), every image it names
(lexdrill/*.bmp, 24 bits, magenta where a part is transparent) and the system-menu glyphs
(GLAZKITMENU.bmp, 64 x 16, 1 bit). Python 3 standard library only.

    resources/skin/make_skin.py        rewrites the files beside this script

Everything is drawn from the palette below at 100% scale, pixel by pixel, so edges stay crisp.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "lexdrill")

# The palette (r, g, b).
KEY = (255, 0, 255)           # transparent
INK = (30, 42, 54)            # text and glyphs
WHITE = (255, 255, 255)
FACE = (238, 241, 245)        # window and button face
FACE_DARK = (222, 228, 235)
LINE = (154, 167, 181)        # control borders
LINE_DARK = (104, 119, 135)
SHADOW = (196, 204, 214)
ACCENT = (47, 93, 138)        # caption, selection
ACCENT_LIGHT = (70, 122, 171)
ACCENT_DARK = (31, 63, 95)
ACCENT_PALE = (220, 232, 245)
ACCENT_PALER = (236, 243, 251)
INACTIVE = (138, 155, 174)
INACTIVE_LIGHT = (160, 175, 191)
INACTIVE_DARK = (112, 128, 146)
DISABLED = (170, 178, 188)
CLOSE_HOT = (200, 64, 56)
CLOSE_DOWN = (160, 44, 38)


class Image:
    def __init__(self, w, h, fill=KEY):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Fills x0 <= x < x1, y0 <= y < y1."""
        for y in range(max(y0, 0), min(y1, self.h)):
            for x in range(max(x0, 0), min(x1, self.w)):
                self.px[y][x] = c

    def frame(self, x0, y0, x1, y1, c):
        self.rect(x0, y0, x1, y0 + 1, c)
        self.rect(x0, y1 - 1, x1, y1, c)
        self.rect(x0, y0, x0 + 1, y1, c)
        self.rect(x1 - 1, y0, x1, y1, c)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        n = max(y1 - y0 - 1, 1)
        for i, y in enumerate(range(y0, y1)):
            self.rect(x0, y, x1, y + 1, mix(top, bottom, i / n))

    def hgradient(self, x0, y0, x1, y1, left, right):
        n = max(x1 - x0 - 1, 1)
        for i, x in enumerate(range(x0, x1)):
            self.rect(x, y0, x + 1, y1, mix(left, right, i / n))

    def round_box(self, x0, y0, x1, y1, border, top, bottom=None, radius=2, outside=KEY):
        """A box with cut corners: border line, vertical gradient inside."""
        self.vgradient(x0 + 1, y0 + 1, x1 - 1, y1 - 1, top, bottom or top)
        self.frame(x0, y0, x1, y1, border)
        for r in range(radius):
            for (cx, cy, dx, dy) in ((x0, y0, 1, 1), (x1 - 1, y0, -1, 1), (x0, y1 - 1, 1, -1), (x1 - 1, y1 - 1, -1, -1)):
                for k in range(radius - r):
                    self.put(cx + dx * k, cy + dy * r, outside)
            # the border follows the cut
        if radius > 1:
            for (cx, cy, dx, dy) in ((x0, y0, 1, 1), (x1 - 1, y0, -1, 1), (x0, y1 - 1, 1, -1), (x1 - 1, y1 - 1, -1, -1)):
                self.put(cx + dx * (radius - 1), cy + dy, border)
                self.put(cx + dx, cy + dy * (radius - 1), border)

    def glyph(self, x0, y0, rows, c):
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch == "#":
                    self.put(x0 + x, y0 + y, c)

    def paste(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                self.put(x0 + x, y0 + y, other.px[y][x])

    def flip_h(self):
        out = Image(self.w, self.h)
        for y in range(self.h):
            out.px[y] = list(reversed(self.px[y]))
        return out

    def transpose(self):
        out = Image(self.h, self.w)
        for y in range(self.h):
            for x in range(self.w):
                out.px[x][y] = self.px[y][x]
        return out

    def save(self, name):
        stride = (self.w * 3 + 3) & ~3
        data = bytearray()
        for row in reversed(self.px):
            line = bytearray()
            for (r, g, b) in row:
                line += bytes((b, g, r))
            line += b"\0" * (stride - len(line))
            data += line
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(header + info + data)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def strip(frames):
    """Frames side by side."""
    out = Image(sum(f.w for f in frames), max(f.h for f in frames))
    x = 0
    for f in frames:
        out.paste(f, x, 0)
        x += f.w
    return out


def column(frames):
    """Frames one under the other."""
    out = Image(max(f.w for f in frames), sum(f.h for f in frames))
    y = 0
    for f in frames:
        out.paste(f, 0, y)
        y += f.h
    return out


# Glyphs, '#' set.
GLYPH_CLOSE = ["#.....#", ".#...#.", "..#.#..", "...#...", "..#.#..", ".#...#.", "#.....#"]
GLYPH_CLOSE_BOLD = ["##....##", "###..###", ".######.", "..####..", "..####..", ".######.", "###..###", "##....##"]
GLYPH_MAX = ["########", "########", "#......#", "#......#", "#......#", "#......#", "#......#", "########"]
GLYPH_MIN = ["########", "########"]
GLYPH_RESTORE = ["..######", "..######", "..#....#", "######.#", "######.#", "#....###", "#....#..", "#....#..", "######.."]
GLYPH_CHECK = ["......#", ".....##", "#...##.", "##.##..", ".###...", "..#...."]
GLYPH_DOT = [".##.", "####", "####", ".##."]
ARROW_UP = ["...#...", "..###..", ".#####.", "#######"]
ARROW_DOWN = list(reversed(ARROW_UP))
ARROW_LEFT = ["...#", "..##", ".###", "####", ".###", "..##", "...#"]
ARROW_RIGHT = [r[::-1] for r in ARROW_LEFT]
SMALL_UP = ["..#..", ".###.", "#####"]
SMALL_DOWN = list(reversed(SMALL_UP))
SMALL_LEFT = ["..#", ".##", "###", ".##", "..#"]
SMALL_RIGHT = [r[::-1] for r in SMALL_LEFT]
GRIP = ["..........#", ".........##", "..........", ".......#..#", "......##.##", "..........", "....#..#..#", "...##.##.##"]
BOOK = [
    "................",
    "..############..",
    ".#............#.",
    ".#.##########.#.",
    ".#............#.",
    ".#.########...#.",
    ".#............#.",
    ".#.##########.#.",
    ".#............#.",
    ".#.######.....#.",
    ".#............#.",
    ".#.##########.#.",
    ".#............#.",
    "..############..",
    "................",
    "................",
]

CAPTION = 30      # caption band height
BORDER = 4        # frame width at the sides and bottom
CORNER = 5        # cut of the window's top corners


def caption_colours(active):
    return (ACCENT_LIGHT, ACCENT, ACCENT_DARK) if active else (INACTIVE_LIGHT, INACTIVE, INACTIVE_DARK)


def frame_side(active, right):
    """The left (or right) edge: caption end with the rounded corner, then the border."""
    top, bottom, dark = caption_colours(active)
    img = Image(BORDER, 60)
    img.vgradient(0, 0, BORDER, CAPTION, top, bottom)
    img.rect(0, CAPTION, BORDER, 60, bottom)
    img.rect(0, 0, 1, 60, dark)            # outer line
    img.rect(0, 0, BORDER, 1, dark)
    img.rect(BORDER - 1, CAPTION, BORDER, 60 - BORDER, LINE_DARK)  # line round the client area
    img.rect(0, 59, BORDER, 60, dark)
    img.rect(0, CAPTION - 1, BORDER, CAPTION, dark)   # meets the caption's bottom line
    img.put(BORDER - 1, 60 - BORDER, LINE_DARK)        # meets the line under the client area
    # cut corner: a quarter circle of radius CORNER at the top
    for y in range(CORNER):
        for x in range(BORDER):
            dx, dy = CORNER - x - 0.5, CORNER - y - 0.5
            if dx > 0 and dy > 0 and dx * dx + dy * dy > CORNER * CORNER:
                img.put(x, y, KEY)
            elif dx > 0 and dy > 0 and dx * dx + dy * dy > (CORNER - 1.2) ** 2:
                img.put(x, y, dark)
    img.put(0, 59, KEY)  # the bottom corners lose one pixel
    return img.flip_h() if right else img


def frame_top(active):
    top, bottom, dark = caption_colours(active)
    img = Image(40, CAPTION)
    img.vgradient(0, 0, 40, CAPTION, top, bottom)
    img.rect(0, 0, 40, 1, dark)
    img.rect(0, 1, 40, 2, mix(top, WHITE, 0.25))   # a thin light line under the top edge
    img.rect(0, CAPTION - 1, 40, CAPTION, dark)
    return img


def frame_bottom(active):
    _, bottom, dark = caption_colours(active)
    img = Image(20, BORDER)
    img.rect(0, 0, 20, BORDER, bottom)
    img.rect(0, 0, 20, 1, LINE_DARK)
    img.rect(0, BORDER - 1, 20, BORDER, dark)
    return img


def text_back(active):
    top, bottom, dark = caption_colours(active)
    img = Image(24, CAPTION)
    img.round_box(0, 6, 24, CAPTION - 6, mix(dark, top, 0.5), mix(top, WHITE, 0.12), mix(bottom, top, 0.5), radius=3)
    return img


def caption_button(glyph, size=(28, 20), close=False):
    """Frames: normal, pressed, hot, inactive."""
    w, h = size
    frames = []
    for state in ("normal", "pressed", "hot", "inactive"):
        f = Image(w, h)
        if state == "normal":
            f.round_box(0, 0, w, h, ACCENT_DARK, mix(ACCENT_LIGHT, WHITE, 0.1), ACCENT, radius=3)
            ink = WHITE
        elif state == "pressed":
            f.round_box(0, 0, w, h, ACCENT_DARK, CLOSE_DOWN if close else ACCENT_DARK, CLOSE_DOWN if close else ACCENT_DARK, radius=3)
            ink = WHITE
        elif state == "hot":
            f.round_box(0, 0, w, h, ACCENT_DARK, CLOSE_HOT if close else mix(ACCENT_LIGHT, WHITE, 0.3), CLOSE_HOT if close else ACCENT_LIGHT, radius=3)
            ink = WHITE
        else:
            f.round_box(0, 0, w, h, INACTIVE_DARK, INACTIVE_LIGHT, INACTIVE, radius=3)
            ink = mix(WHITE, INACTIVE, 0.3)
        gw, gh = max(len(r) for r in glyph), len(glyph)
        f.glyph((w - gw) // 2 + (1 if state == "pressed" else 0), (h - gh) // 2 + (1 if state == "pressed" else 0), glyph, ink)
        frames.append(f)
    return strip(frames)


def mdi_buttons():
    """Minimise, restore, close of a maximised child: four 16 x 14 frames each."""
    out = []
    for glyph in (GLYPH_MIN, GLYPH_RESTORE, GLYPH_CLOSE):
        for state in ("normal", "pressed", "hot", "hot"):
            f = Image(16, 14)
            if state == "normal":
                f.round_box(0, 0, 16, 14, LINE, WHITE, FACE_DARK, radius=2)
            elif state == "pressed":
                f.round_box(0, 0, 16, 14, LINE_DARK, SHADOW, FACE_DARK, radius=2)
            else:
                f.round_box(0, 0, 16, 14, ACCENT, ACCENT_PALER, ACCENT_PALE, radius=2)
            g = glyph
            if glyph is GLYPH_MIN:
                g = ["......", "......", "......", "......", "......", "######", "######"]
            gw, gh = max(len(r) for r in g), len(g)
            f.glyph((16 - gw) // 2, (14 - gh) // 2, g, INK)
            out.append(f)
    return strip(out)


def push_button(state):
    """24 x 24 frames: normal, pressed, disabled, hot (also focused), default."""
    f = Image(24, 24)
    if state == "normal":
        f.round_box(0, 0, 24, 24, LINE, WHITE, FACE_DARK, radius=3)
    elif state == "pressed":
        f.round_box(0, 0, 24, 24, ACCENT_DARK, ACCENT_PALE, mix(ACCENT_PALE, ACCENT_LIGHT, 0.25), radius=3)
    elif state == "disabled":
        f.round_box(0, 0, 24, 24, SHADOW, FACE, FACE, radius=3)
    elif state == "hot":
        f.round_box(0, 0, 24, 24, ACCENT_LIGHT, WHITE, ACCENT_PALE, radius=3)
    else:
        f.round_box(0, 0, 24, 24, ACCENT, WHITE, FACE_DARK, radius=3)
    return f


def check_box(checked, enabled):
    f = Image(13, 13)
    f.rect(0, 0, 13, 13, KEY)
    border = LINE_DARK if enabled else SHADOW
    f.round_box(0, 0, 13, 13, border, WHITE if enabled else FACE, ACCENT_PALER if enabled else FACE, radius=1)
    if checked:
        f.glyph(3, 3, GLYPH_CHECK, ACCENT if enabled else DISABLED)
    return f


def radio_button(checked, enabled):
    f = Image(13, 13)
    border = LINE_DARK if enabled else SHADOW
    inside = WHITE if enabled else FACE
    for y in range(13):
        for x in range(13):
            d = ((x - 6) ** 2 + (y - 6) ** 2) ** 0.5
            if d <= 5.0:
                f.put(x, y, inside)
            elif d <= 6.4:
                f.put(x, y, border)
    if checked:
        for y in range(13):
            for x in range(13):
                if ((x - 6) ** 2 + (y - 6) ** 2) ** 0.5 <= 2.6:
                    f.put(x, y, ACCENT if enabled else DISABLED)
    return f


def scroll_frames():
    """23 frames of 16 x 16: four arrow buttons (left, right, up, down) in the states normal,
    pressed, hot and disabled; four plain buttons; the size box; two spare faces."""
    frames = []
    for arrow in (ARROW_LEFT, ARROW_RIGHT, ARROW_UP, ARROW_DOWN):
        for state in ("normal", "pressed", "hot", "disabled"):
            frames.append(scroll_button(arrow, state))
    for state in ("normal", "pressed", "hot", "disabled"):
        frames.append(scroll_button(None, state))
    corner = Image(16, 16, FACE)
    corner.glyph(4, 7, GRIP[-3:], LINE)
    frames.append(corner)
    frames.append(scroll_button(None, "normal"))
    frames.append(scroll_button(None, "hot"))
    return strip(frames)


def scroll_button(arrow, state):
    f = Image(16, 16, FACE)
    if state == "normal":
        f.round_box(0, 0, 16, 16, SHADOW, WHITE, FACE_DARK, radius=2, outside=FACE)
    elif state == "pressed":
        f.round_box(0, 0, 16, 16, ACCENT, ACCENT_PALE, ACCENT_PALE, radius=2, outside=FACE)
    elif state == "hot":
        f.round_box(0, 0, 16, 16, ACCENT_LIGHT, WHITE, ACCENT_PALER, radius=2, outside=FACE)
    else:
        f.round_box(0, 0, 16, 16, SHADOW, FACE, FACE, radius=2, outside=FACE)
    if arrow:
        gw, gh = max(len(r) for r in arrow), len(arrow)
        f.glyph((16 - gw) // 2, (16 - gh) // 2, arrow, DISABLED if state == "disabled" else INK)
    return f


def track(vertical):
    f = Image(16, 16, FACE)
    f.rect(0, 0, 16, 16, mix(FACE, FACE_DARK, 0.5))
    if vertical:
        f.rect(0, 0, 1, 16, SHADOW)
        f.rect(15, 0, 16, 16, SHADOW)
    else:
        f.rect(0, 0, 16, 1, SHADOW)
        f.rect(0, 15, 16, 16, SHADOW)
    return strip([f, f, f, f])


def scroll_thumb(vertical):
    frames = []
    for top, bottom, border in ((WHITE, FACE_DARK, LINE), (ACCENT_PALE, ACCENT_PALE, ACCENT), (WHITE, ACCENT_PALE, ACCENT_LIGHT)):
        f = Image(24, 16, FACE)
        f.round_box(0, 1, 24, 15, border, top, bottom, radius=3, outside=mix(FACE, FACE_DARK, 0.5))
        f.rect(0, 0, 24, 1, SHADOW)
        f.rect(0, 15, 24, 16, SHADOW)
        frames.append(f.transpose() if vertical else f)
    return strip(frames)


def trackbar_thumb(kind):
    """Five frames: normal, the one the track bar draws, hot, pressed, disabled."""
    frames = []
    for top, bottom, border in ((WHITE, FACE_DARK, LINE_DARK), (WHITE, ACCENT_PALE, ACCENT),
                                (WHITE, ACCENT_PALER, ACCENT_LIGHT), (ACCENT_PALE, ACCENT_PALE, ACCENT_DARK),
                                (FACE, FACE, SHADOW)):
        f = Image(11, 20)
        if kind in ("Horz", "Vert"):
            f.round_box(0, 0, 11, 20, border, top, bottom, radius=2)
        else:
            # pointing down: a box with a pointed end
            f.vgradient(1, 1, 10, 14, top, bottom)
            f.rect(0, 0, 11, 1, border)
            f.rect(0, 0, 1, 14, border)
            f.rect(10, 0, 11, 14, border)
            for i in range(6):
                f.rect(i + 1, 14 + i, 10 - i, 15 + i, bottom)
                f.put(i, 14 + i, border)
                f.put(10 - i, 14 + i, border)
            f.put(5, 19, border)
        if kind == "Vert":
            f = f.transpose()
        elif kind == "Up":
            f = column_flip(f)
        elif kind == "Right":
            f = f.transpose()
        elif kind == "Left":
            f = f.transpose().flip_h()
        frames.append(f)
    return strip(frames)


def column_flip(img):
    out = Image(img.w, img.h)
    out.px = [list(r) for r in reversed(img.px)]
    return out


def updown(vertical):
    """Eight frames: first button normal, pressed, disabled, hot; then the second button."""
    w, h = (16, 12) if vertical else (12, 16)
    frames = []
    for _ in range(2):
        for state in ("normal", "pressed", "disabled", "hot"):
            f = Image(w, h)
            if state == "normal":
                f.round_box(0, 0, w, h, LINE, WHITE, FACE_DARK, radius=2)
            elif state == "pressed":
                f.round_box(0, 0, w, h, ACCENT, ACCENT_PALE, ACCENT_PALE, radius=2)
            elif state == "disabled":
                f.round_box(0, 0, w, h, SHADOW, FACE, FACE, radius=2)
            else:
                f.round_box(0, 0, w, h, ACCENT_LIGHT, WHITE, ACCENT_PALER, radius=2)
            frames.append(f)
    return strip(frames)


def updown_glyphs(vertical):
    first, second = (SMALL_UP, SMALL_DOWN) if vertical else (SMALL_LEFT, SMALL_RIGHT)
    gw, gh = (5, 3) if vertical else (3, 5)
    frames = []
    for glyph in (first, second):
        for state in ("normal", "pressed", "disabled", "hot"):
            f = Image(gw, gh)
            f.glyph(0, 0, glyph, DISABLED if state == "disabled" else INK)
            frames.append(f)
    return strip(frames)


def tab(state):
    """24 x 22: ordinary, selected, hot, disabled, spare."""
    f = Image(24, 22)
    if state == "selected":
        f.round_box(0, 0, 24, 23, LINE_DARK, WHITE, FACE, radius=3)
        f.rect(1, 0, 23, 2, ACCENT)
    elif state == "hot":
        f.round_box(0, 2, 24, 23, LINE, WHITE, ACCENT_PALER, radius=3)
    elif state == "disabled":
        f.round_box(0, 2, 24, 23, SHADOW, FACE, FACE, radius=3)
    else:
        f.round_box(0, 2, 24, 23, LINE, WHITE, FACE_DARK, radius=3)
    return f


def bordered(w, h, border, inside, radius, outside=KEY):
    f = Image(w, h, inside)
    f.round_box(0, 0, w, h, border, inside, inside, radius=radius, outside=outside)
    return f


def main():
    os.makedirs(OUT, exist_ok=True)
    for name in os.listdir(OUT):
        if name.lower().endswith((".bmp", ".ini")):
            os.remove(os.path.join(OUT, name))

    # Frame and caption.
    strip([frame_side(True, False), frame_side(False, False)]).save("FrameLeft.bmp")
    strip([frame_side(True, True), frame_side(False, True)]).save("FrameRight.bmp")
    column([frame_top(True), frame_top(False)]).save("FrameTop.bmp")
    column([frame_bottom(True), frame_bottom(False)]).save("FrameBottom.bmp")
    column([text_back(True), text_back(False)]).save("TextBack.bmp")
    caption_button(GLYPH_CLOSE_BOLD, close=True).save("BtnClose.bmp")
    caption_button(GLYPH_MAX).save("BtnMax.bmp")
    caption_button(GLYPH_RESTORE).save("BtnRestore.bmp")
    caption_button(["........", "........", "........", "........", "........", "........", "########", "########"]).save("BtnMin.bmp")
    icon = Image(16, 16)
    icon.glyph(0, 0, BOOK, WHITE)
    icon.save("SysIcon.bmp")
    mdi_buttons().save("MDIButtons.bmp")

    # Menus.
    bar = []
    for active in (True, False):
        f = Image(40, 20, FACE)
        f.vgradient(0, 0, 40, 20, WHITE if active else FACE, FACE_DARK if active else FACE)
        f.rect(0, 19, 40, 20, SHADOW)
        bar.append(f)
    column(bar).save("MenuBar.bmp")
    items = []
    for state in ("normal", "separator", "spare", "selected", "spare"):
        f = Image(30, 20)
        if state == "separator":
            f.rect(4, 16, 26, 17, SHADOW)
            f.rect(4, 17, 26, 18, WHITE)
        elif state == "selected":
            # The selection's text is HilightText, white: it needs the dark accent behind it.
            f.round_box(1, 1, 29, 19, ACCENT_DARK, ACCENT_LIGHT, ACCENT, radius=2)
        items.append(f)
    strip(items).save("MenuItem.bmp")
    menu_back = Image(24, 24, WHITE)
    menu_back.frame(0, 0, 24, 24, LINE_DARK)
    menu_back.frame(1, 1, 23, 23, WHITE)
    menu_back.frame(2, 2, 22, 22, WHITE)
    menu_back.rect(3, 3, 4, 21, FACE)  # a light gutter line on the glyph side
    menu_back.save("MenuBack.bmp")

    # Buttons, check and radio boxes.
    strip([push_button(s) for s in ("normal", "pressed", "disabled", "hot", "default")]).save("Button.bmp")
    strip([check_box(c, e) for (c, e) in ((False, True), (True, True), (False, False), (True, False))]).save("Check.bmp")
    strip([radio_button(c, e) for (c, e) in ((False, True), (True, True), (False, False), (True, False))]).save("Radio.bmp")

    # Progress bar: ground and bar side by side; the chunk for the chunked style.
    ground = Image(20, 16)
    ground.round_box(0, 0, 20, 16, LINE, FACE_DARK, WHITE, radius=2)
    fill = Image(20, 16)
    fill.round_box(0, 0, 20, 16, ACCENT_DARK, ACCENT_LIGHT, ACCENT, radius=2)
    fill.rect(2, 2, 18, 3, mix(ACCENT_LIGHT, WHITE, 0.4))
    strip([ground, fill]).save("Progress.bmp")
    chunk = Image(9, 12)
    chunk.vgradient(0, 0, 7, 12, ACCENT_LIGHT, ACCENT)
    chunk.save("ProgressChunk.bmp")

    # Group box, tool bar, tabs, status bar, header.
    group = [bordered(20, 20, LINE, FACE, radius=3, outside=KEY), bordered(20, 20, ACCENT_LIGHT, FACE, radius=3, outside=KEY)]
    for g in group:
        g.rect(3, 3, 17, 17, KEY)
    strip(group).save("GroupBox.bmp")
    toolbars = []
    for top, bottom in ((WHITE, FACE_DARK), (ACCENT_PALE, ACCENT_PALE), (FACE, FACE), (WHITE, ACCENT_PALER), (WHITE, FACE_DARK)):
        f = Image(20, 24)
        f.vgradient(0, 0, 20, 24, top, bottom)
        f.rect(0, 23, 20, 24, SHADOW)
        toolbars.append(f)
    strip(toolbars).save("Toolbar.bmp")
    strip([tab(s) for s in ("ordinary", "selected", "hot", "disabled", "ordinary")]).save("Tabs.bmp")
    page = Image(20, 20, WHITE)
    page.frame(0, 0, 20, 20, LINE_DARK)
    page.frame(1, 1, 19, 19, WHITE)
    page.save("TabBorder.bmp")
    status = []
    for kind in ("lowered", "raised", "flat"):
        f = Image(20, 20, FACE)
        if kind == "lowered":
            f.frame(0, 0, 20, 20, WHITE)
            f.rect(0, 0, 20, 1, SHADOW)
            f.rect(0, 0, 1, 20, SHADOW)
        elif kind == "raised":
            f.frame(0, 0, 20, 20, SHADOW)
            f.rect(0, 0, 20, 1, WHITE)
            f.rect(0, 0, 1, 20, WHITE)
        status.append(f)
    strip(status).save("StatusBar.bmp")
    header = []
    for top, bottom in ((WHITE, FACE_DARK), (FACE_DARK, FACE_DARK), (WHITE, ACCENT_PALER), (ACCENT_PALE, ACCENT_PALE), (FACE, FACE)):
        f = Image(20, 20)
        f.vgradient(0, 0, 20, 20, top, bottom)
        f.rect(0, 19, 20, 20, LINE)
        f.rect(19, 3, 20, 17, SHADOW)
        header.append(f)
    strip(header).save("Header.bmp")

    # Combo box: its button, the sunken edge round it, the arrows and the size grip.
    combo = []
    for state in ("normal", "pressed", "disabled", "hot"):
        f = Image(18, 20, WHITE)
        top, bottom, border = {"normal": (WHITE, FACE_DARK, LINE), "pressed": (ACCENT_PALE, ACCENT_PALE, ACCENT),
                               "disabled": (FACE, FACE, SHADOW), "hot": (WHITE, ACCENT_PALE, ACCENT_LIGHT)}[state]
        f.round_box(0, 0, 18, 20, border, top, bottom, radius=2, outside=WHITE)
        combo.append(f)
    strip(combo).save("ComboButton.bmp")
    sunk = []
    for border in (LINE, ACCENT, SHADOW, ACCENT_LIGHT):
        f = Image(20, 20, WHITE)
        f.frame(0, 0, 20, 20, border)
        sunk.append(f)
    strip(sunk).save("SunkEdge.bmp")
    extra = []
    for ink in (INK, INK, DISABLED, ACCENT):
        f = Image(12, 12)
        f.glyph(2, 4, ARROW_DOWN, ink)
        f.glyph(2, 4, ["#######"], ink)
        extra.append(f)
    grip = Image(12, 12)
    grip.glyph(1, 3, GRIP, LINE_DARK)
    extra.append(grip)
    strip(extra).save("Extra.bmp")

    # Scroll bars.
    scroll_frames().save("Scrollbar.bmp")
    track(False).save("HorzTrack.bmp")
    track(True).save("VertTrack.bmp")
    scroll_thumb(False).save("HorzThumb.bmp")
    scroll_thumb(True).save("VertThumb.bmp")

    # Track bars and up-down buttons.
    for kind in ("Horz", "Vert", "Left", "Right", "Up", "Down"):
        trackbar_thumb(kind).save("Thumb%s.bmp" % kind)
    updown(False).save("UpDownHorz.bmp")
    updown(True).save("UpDownVert.bmp")
    updown_glyphs(False).save("UpDownHorzGlyph.bmp")
    updown_glyphs(True).save("UpDownVertGlyph.bmp")

    with open(os.path.join(OUT, "Skin.ini"), "w", newline="\r\n") as f:
        f.write(DESCRIPTION)
    menu_glyphs()


def menu_glyphs():
    """64 x 16, 1 bit, white the transparent ground: restore, maximise, minimise, close."""
    glyphs = [
        ["", "", "", "", "....######", "....######", "....#....#", "..######.#", "..######.#", "..#....###",
         "..#....#", "..#....#", "..######"],
        ["", "", "", "...#########", "...#########", "...#.......#", "...#.......#", "...#.......#",
         "...#.......#", "...#.......#", "...#.......#", "...#########"],
        ["", "", "", "", "", "", "", "", "", "", "....########", "....########"],
        ["", "", "", "", "...##....##", "....##..##", ".....####", "......##", ".....####", "....##..##",
         "...##....##"],
    ]
    w, h = 64, 16
    bits = [[1] * w for _ in range(h)]  # 1 = white
    for i, rows in enumerate(glyphs):
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch == "#":
                    bits[y][16 * i + x] = 0
    stride = 8
    data = bytearray()
    for row in reversed(bits):
        line = bytearray(stride)
        for x, b in enumerate(row):
            if b:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    header = struct.pack("<2sIHHI", b"BM", 62 + len(data), 0, 0, 62)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    with open(os.path.join(HERE, "GLAZKITMENU.bmp"), "wb") as f:
        f.write(header + info + palette + data)


DESCRIPTION = """; lexdrill's own skin. Drawn by make_skin.py beside this folder: change that, not this.

[Personality]
Left=FrameLeft.bmp
LeftTopHeight=30
LeftBotHeight=4
LeftFrame=2
LeftStretch=1
LeftTrans=1
Right=FrameRight.bmp
RightTopHeight=30
RightBotHeight=4
RightFrame=2
RightStretch=1
RightTrans=1
Top=FrameTop.bmp
TopTopHeight=0
TopBotHeight=0
TopFrame=2
TopStretch=1
TopTrans=0
Bottom=FrameBottom.bmp
BottomTopHeight=0
BottomBotHeight=0
BottomFrame=2
BottomStretch=1
BottomTrans=0
TextBack=TextBack.bmp
TextShift=26
TextShiftVert=0
TextRightClip=100
TextAlignment=0
TXTBackleft=6
TXTBackRight=6
ActiveTextR=255
ActiveTextG=255
ActiveTextB=255
InActiveTextR=232
InActiveTextG=236
InActiveTextB=241
MenuBar=MenuBar.bmp
TileMenu=1
TileLeftMenu=4
TileRightMenu=4

[Fonts]
FontHeight=14

[Colours]
WindowText=30 42 54
ButtonFace=238 241 245
Scrollbar=230 234 239
HilightText=255 255 255
Hilight=47 93 138
Menubar=238 241 245
Menu=255 255 255
MenuText=30 42 54
ButtonText=30 42 54
ButtonHilight=255 255 255
Buttonlight=255 255 255
ButtonShadow=154 167 181
ButtonDkShadow=104 119 135
MenuBarText=30 42 54
TitleTextActive=255 255 255
TitleTextNoActive=232 236 241

; Caption buttons, from the right window edge: close, maximise or restore, minimise; the
; window's icon on the left.
[Button0]
Action=0
Align=1
Xcoord=34
Ycoord=5
frame=4
Visibility=0
Visibility1=0
ButtonImage=BtnClose.bmp

[Button1]
Action=1
Align=1
Xcoord=64
Ycoord=5
frame=4
Visibility=6
Visibility1=2
ButtonImage=BtnMax.bmp

[Button2]
Action=1
Align=1
Xcoord=64
Ycoord=5
frame=4
Visibility=6
Visibility1=1
ButtonImage=BtnRestore.bmp

[Button3]
Action=2
Align=1
Xcoord=94
Ycoord=5
frame=4
Visibility=8
Visibility1=0
ButtonImage=BtnMin.bmp

[Button4]
Action=3
Align=0
Xcoord=8
Ycoord=7
Visibility=0
Visibility1=0
ButtonImage=SysIcon.bmp

[MDICONTROLS]
Image=MDIButtons.bmp

[Buttons]
Bitmap=Button.bmp
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=4
Trans=1
Tile=0
CheckButton=Check.bmp
RadioButton=Radio.bmp
NormalColour2=30 42 54
MouseOverColour2=31 63 95
PressedColour2=31 63 95

[Progress]
Bitmap=Progress.bmp
Chunk=ProgressChunk.bmp
Style=0
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3
Trans=1
Tile=0

[GroupBoxEdge]
Image=GroupBox.bmp
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=4
Trans=1

[Toolbars]
Image=Toolbar.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2

[Tabs]
Image=Tabs.bmp
Border=TabBorder.bmp
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=3
Trans=1
Tile=0
NormalColour2=30 42 54
MouseOverColour2=31 63 95

[StatusBarEdges]
Image=StatusBar.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2
NormalColour2=30 42 54

[ComboButton]
Image=ComboButton.bmp
Style=0
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3

[SunkEdge]
Image=SunkEdge.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2

[ExtraImages]
Image=Extra.bmp
Trans=1

[Headerbar]
Image=Header.bmp
LeftWidth=2
TopHeight=2
RightWidth=3
BottomHeight=2
NormalColour2=30 42 54

[MenuItem]
Image=MenuItem.bmp
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=4
Trans=1
Tile=0

[MenuBackground]
Image=MenuBack.bmp
LeftWidth=4
TopHeight=3
RightWidth=3
BottomHeight=3
Tile=0

[Scrollbar]
Image=Scrollbar.bmp
Trans=0

[HorzScroll]
Image=HorzTrack.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2

[VertScroll]
Image=VertTrack.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2

[HorzScrollThumb]
Image=HorzThumb.bmp
FrameCount=3
LeftWidth=4
TopHeight=3
RightWidth=4
BottomHeight=3
Trans=0

[VertScrollThumb]
Image=VertThumb.bmp
FrameCount=3
LeftWidth=3
TopHeight=4
RightWidth=3
BottomHeight=4
Trans=0

[Trackbar.ThumbHorz]
Image=ThumbHorz.bmp
Trans=1

[Trackbar.ThumbVert]
Image=ThumbVert.bmp
Trans=1

[Trackbar.ThumbLeft]
Image=ThumbLeft.bmp
Trans=1

[Trackbar.ThumbRight]
Image=ThumbRight.bmp
Trans=1

[Trackbar.ThumbUp]
Image=ThumbUp.bmp
Trans=1

[Trackbar.ThumbDown]
Image=ThumbDown.bmp
Trans=1

[UpDown.Horz]
Image=UpDownHorz.bmp
GlyphImage=UpDownHorzGlyph.bmp
Trans=1

[UpDown.Vert]
Image=UpDownVert.bmp
GlyphImage=UpDownVertGlyph.bmp
Trans=1
"""

if __name__ == "__main__":
    main()
