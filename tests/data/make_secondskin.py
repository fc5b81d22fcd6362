#!/usr/bin/env python3
"""Draws the second test skin into secondskin/: a skin unlike the client's wherever the skin
description allows, for running every window on a skin of another shape. A taller caption band
(36 pixels) over thin left (3) and wide right (9) edges and a 7-pixel bottom; the left edge and
the caption band tiled, the right edge and the bottom stretched; rounded key-colour corners and
notches in the band's top row that the window region cuts; centred caption text; seven caption
buttons: close at the left window edge, the window icon beside it, maximise, restore and
minimise from the right through the alternative actions 22 and 23, the system menu (action 12)
left of the text and a button of its own (action 40) right of it, shown only while the window
is active, their frame counts partly read from the key frame, partly taken from the image's
proportions. No menu-bar element and no tabs element; the control elements with margins,
frame sizes, tiling and transparency of their own. Python 3 standard library only; run it and
commit what it wrote.

    tests/data/make_secondskin.py
"""
import os

import skinimage
from skinimage import KEY, image, rgb, save_description, side_by_side, stacked

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "secondskin")

CAPTION, LEFT, RIGHT, BOTTOM = 36, 3, 9, 7
TEAL, TEAL_DARK, TEAL_LIGHT = (20, 110, 110), (10, 70, 70), (90, 170, 160)
GREY, GREY_DARK, GREY_LIGHT = (120, 128, 128), (80, 86, 86), (170, 176, 176)
ORANGE, ORANGE_DARK = (230, 130, 30), (170, 80, 10)
FACE, INK, WHITE = (232, 236, 226), (24, 40, 40), (255, 255, 255)


def save(name, rows):
    skinimage.save(OUT, name, rows)


def shade(c, d):
    return tuple(max(0, min(255, v + d)) for v in c)


def boxed(w, h, fill, border, corners=False):
    """A filled box with a one-pixel border; corners=True cuts its corner pixels to the key."""
    rows = image(w, h, fill)
    for x in range(w):
        rows[0][x] = rows[h - 1][x] = border
    for y in range(h):
        rows[y][0] = rows[y][w - 1] = border
    if corners:
        for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
            rows[y][x] = KEY
    return rows


def strip(w, h, fills, border, corners=False):
    return side_by_side([boxed(w, h, f, border, corners) for f in fills])


def states(base, n):
    """n frames of one element, each a shade of its own."""
    return [shade(base, 18 * i - 30) for i in range(n)]


def left_edge(colour):
    """3 x 60: the caption band's rows and the bottom's kept, the middle banded so that tiling
    shows; the outer pixels of the two top rows and the last row cut."""
    rows = [[shade(colour, 25 if (y // 4) % 2 else 0)] * LEFT for y in range(60)]
    rows[0][0] = rows[0][1] = rows[1][0] = rows[59][0] = KEY
    return rows


def right_edge(colour):
    """9 x 60, stretched: a gradient across its width, rounded at the top and bottom right."""
    rows = [[shade(colour, 6 * x - 24) for x in range(RIGHT)] for _ in range(60)]
    for y, cut in ((0, 4), (1, 2), (2, 1), (58, 1), (59, 2)):
        for x in range(RIGHT - cut, RIGHT):
            rows[y][x] = KEY
    return rows


def band(colour):
    """50 x 36: 10-pixel ends kept, the middle tiled; every 10th column of its top row cut."""
    rows = [[shade(colour, -(y // 3))] * 50 for y in range(CAPTION)]
    for x in range(10, 40, 10):
        rows[0][x] = KEY
    rows[CAPTION - 1] = [shade(colour, -60)] * 50
    return rows


def caption_button(w, h, fills, glyph):
    frames = []
    for f in fills:
        rows = boxed(w, h, f, shade(f, -50), corners=True)
        for y in range(h // 2 - 1, h // 2 + 1):
            for x in range(w // 2 - glyph, w // 2 + glyph):
                rows[y][x] = WHITE
        frames.append(rows)
    return side_by_side(frames)


def main():
    os.makedirs(OUT, exist_ok=True)
    save("EdgeLeft.bmp", side_by_side([left_edge(TEAL), left_edge(GREY)]))
    save("EdgeRight.bmp", side_by_side([right_edge(TEAL), right_edge(GREY)]))
    save("Band.bmp", stacked([band(TEAL), band(GREY)]))
    save("EdgeBottom.bmp", stacked([image(30, BOTTOM, TEAL_DARK), image(30, BOTTOM, GREY_DARK)]))
    save("Caption.bmp", stacked([boxed(40, CAPTION, TEAL_LIGHT, TEAL_DARK, True),
                                 boxed(40, CAPTION, GREY_LIGHT, GREY_DARK, True)]))
    # Normal, pressed, hot, inactive, and two the form skin never draws.
    six = [ORANGE, ORANGE_DARK, shade(ORANGE, 30), GREY, (1, 1, 1), (2, 2, 2)]
    save("Close.bmp", caption_button(20, 20, six, 6))
    four = [TEAL_LIGHT, TEAL_DARK, shade(TEAL_LIGHT, 30), GREY_LIGHT]
    save("Max.bmp", caption_button(22, 18, four, 7))
    save("Restore.bmp", caption_button(22, 18, four, 4))
    save("Min.bmp", caption_button(22, 18, four, 2))
    save("SysMenu.bmp", caption_button(18, 18, [TEAL_DARK, ORANGE_DARK, ORANGE], 3))
    save("Own.bmp", caption_button(16, 16, four, 5))
    save("MdiButtons.bmp", strip(15, 13, states(TEAL_LIGHT, 12), TEAL_DARK))

    save("Push.bmp", strip(18, 18, states(FACE, 5), TEAL_DARK, True))
    save("Check.bmp", strip(13, 13, states(WHITE, 8), TEAL_DARK))
    save("Radio.bmp", strip(13, 13, states(WHITE, 8), TEAL_DARK, True))
    save("Bar.bmp", strip(30, 14, [FACE, FACE], TEAL_DARK))
    save("Chunk.bmp", boxed(6, 10, ORANGE, ORANGE_DARK))
    save("Group.bmp", strip(24, 24, [FACE, GREY_LIGHT], TEAL, True))
    save("Tools.bmp", strip(16, 22, states(FACE, 5), GREY))
    save("Status.bmp", strip(16, 16, states(FACE, 3), GREY_DARK))
    save("Combo.bmp", strip(17, 19, states(TEAL_LIGHT, 4), TEAL_DARK))
    save("Sunk.bmp", strip(12, 12, states(WHITE, 4), GREY_DARK))
    save("Extra.bmp", strip(12, 12, states(ORANGE, 5), ORANGE_DARK, True))
    save("Header.bmp", strip(24, 18, states(FACE, 5), GREY))
    save("Item.bmp", strip(20, 18, [FACE, GREY_LIGHT, FACE, TEAL_LIGHT, FACE], GREY))
    save("Back.bmp", boxed(16, 16, WHITE, TEAL))
    save("Scroll.bmp", strip(17, 17, states(TEAL_LIGHT, 23), TEAL_DARK))
    save("HorzTrack.bmp", strip(14, 17, states(GREY_LIGHT, 4), GREY))
    save("VertTrack.bmp", strip(17, 14, states(GREY_LIGHT, 4), GREY))
    save("HorzThumb.bmp", strip(20, 17, states(TEAL, 4), TEAL_DARK))
    save("VertThumb.bmp", strip(17, 20, states(TEAL, 4), TEAL_DARK))
    for name, (w, h) in (("ThumbHorz", (13, 22)), ("ThumbVert", (22, 13)), ("ThumbLeft", (22, 13)),
                         ("ThumbRight", (22, 13)), ("ThumbUp", (13, 22)), ("ThumbDown", (13, 22))):
        save(name + ".bmp", strip(w, h, states(ORANGE, 5), ORANGE_DARK, True))
    save("SpinHorz.bmp", strip(14, 18, states(TEAL_LIGHT, 8), TEAL_DARK))
    save("SpinVert.bmp", strip(18, 10, states(TEAL_LIGHT, 8), TEAL_DARK))
    save("SpinHorzGlyph.bmp", strip(4, 7, [INK, GREY] * 2, INK))
    save("SpinVertGlyph.bmp", strip(7, 4, [INK, GREY] * 2, INK))

    ini = [
        "; The second test skin. Drawn by ../make_secondskin.py: change that, not this.",
        "[Personality]",
        "Left=EdgeLeft.bmp", "LeftTopHeight=%d" % CAPTION, "LeftBotHeight=%d" % BOTTOM,
        "LeftFrame=2", "LeftStretch=0", "LeftTrans=1",
        "Right=EdgeRight.bmp", "RightTopHeight=%d" % CAPTION, "RightBotHeight=%d" % BOTTOM,
        "RightFrame=2", "RightStretch=1", "RightTrans=1",
        "Top=Band.bmp", "TopTopHeight=10", "TopBotHeight=10", "TopFrame=2", "TopStretch=0",
        "TopTrans=1",
        "Bottom=EdgeBottom.bmp", "BottomFrame=2", "BottomStretch=1", "BottomTrans=0",
        "TextBack=Caption.bmp", "TextShift=0", "TextShiftVert=4", "TextRightClip=60",
        "TextAlignment=1", "TXTBackleft=8", "TXTBackRight=8",
        "ActiveTextR=255", "ActiveTextG=240", "ActiveTextB=200",
        "InActiveTextR=40", "InActiveTextG=40", "InActiveTextB=40",
        "",
        "[Fonts]",
        "FontHeight=16",
        "",
        "[Colours]",
        "WindowText=%s" % rgb(INK), "ButtonFace=%s" % rgb(FACE), "Hilight=%s" % rgb(TEAL),
        "HilightText=%s" % rgb(WHITE), "Menu=%s" % rgb(WHITE), "MenuText=%s" % rgb(INK),
        "ButtonText=%s" % rgb(INK), "ButtonShadow=%s" % rgb(GREY), "MenuBarText=%s" % rgb(INK),
        "TitleTextActive=255,240,200", "TitleTextNoActive=40 40 40",
    ]
    buttons = [
        # Close at the left edge; six frames taken from the image's proportions (120 x 20).
        ("Action=0", "Align=0", "Xcoord=6", "Ycoord=8", "Visibility=0", "Visibility1=0",
         "ButtonImage=Close.bmp"),
        # The window's icon beside it: its image is the window's own.
        ("Action=3", "Align=0", "Xcoord=32", "Ycoord=10", "Visibility=0", "Visibility1=0"),
        ("Action=22", "Align=1", "Xcoord=36", "Ycoord=9", "Visibility=6", "Visibility1=2",
         "frame=4", "ButtonImage=Max.bmp"),
        ("Action=22", "Align=1", "Xcoord=36", "Ycoord=9", "Visibility=6", "Visibility1=1",
         "frame=4", "ButtonImage=Restore.bmp"),
        ("Action=23", "Align=1", "Xcoord=62", "Ycoord=9", "Visibility=8", "Visibility1=0",
         "frame=4", "ButtonImage=Min.bmp"),
        # The system menu left of the text: three frames from its proportions (54 x 18).
        ("Action=12", "Align=2", "Xcoord=4", "Ycoord=9", "Visibility=200", "Visibility1=200",
         "ButtonImage=SysMenu.bmp"),
        # A button of the window's own right of the text, shown while the window is active.
        ("Action=40", "Align=3", "Xcoord=4", "Ycoord=10", "Visibility=3", "Visibility1=3",
         "frame=4", "ButtonImage=Own.bmp"),
    ]
    for i, keys in enumerate(buttons):
        ini += ["", "[Button%d]" % i] + list(keys)
    ini += [
        "", "[MDICONTROLS]", "Image=MdiButtons.bmp",
        "", "[Buttons]", "Bitmap=Push.bmp", "LeftWidth=5", "TopHeight=5", "RightWidth=5",
        "BottomHeight=5", "Trans=1", "Tile=1", "CheckButton=Check.bmp", "RadioButton=Radio.bmp",
        "NormalColour2=%s" % rgb(INK), "MouseOverColour2=%s" % rgb(TEAL_DARK),
        "PressedColour2=%s" % rgb(WHITE),
        "", "[Progress]", "Bitmap=Bar.bmp", "Chunk=Chunk.bmp", "LeftWidth=2", "TopHeight=2",
        "RightWidth=2", "BottomHeight=2", "Tile=2",
    ]
    elements = [
        ("GroupBoxEdge", "Group.bmp", (6, 6, 6, 6), "Trans=1"),
        ("ToolBars", "Tools.bmp", (3, 3, 3, 3), "Tile=1"),
        ("StatusBarEdges", "Status.bmp", (3, 3, 3, 3), "Tile=0"),
        ("ComboButton", "Combo.bmp", (2, 2, 2, 2), "Tile=0"),
        ("SunkEdge", "Sunk.bmp", (3, 3, 3, 3), "Tile=1"),
        ("ExtraImages", "Extra.bmp", (0, 0, 0, 0), "Trans=1"),
        ("Headerbar", "Header.bmp", (4, 3, 4, 3), "Tile=1"),
        ("MenuItem", "Item.bmp", (3, 3, 3, 3), "Tile=1"),
        ("MenuBackground", "Back.bmp", (5, 5, 5, 5), "Tile=1"),
        ("Scrollbar", "Scroll.bmp", (0, 0, 0, 0), "Trans=0"),
        ("HorzScroll", "HorzTrack.bmp", (3, 3, 3, 3), "Tile=1"),
        ("VertScroll", "VertTrack.bmp", (3, 3, 3, 3), "Tile=1"),
        ("HorzScrollThumb", "HorzThumb.bmp", (5, 4, 5, 4), "FrameCount=4"),
        ("VertScrollThumb", "VertThumb.bmp", (4, 5, 4, 5), "FrameCount=4"),
    ] + [("Trackbar." + n, n + ".bmp", (0, 0, 0, 0), "Trans=1")
         for n in ("ThumbHorz", "ThumbVert", "ThumbLeft", "ThumbRight", "ThumbUp", "ThumbDown")]
    for section, picture, (l, t, r, b), extra in elements:
        ini += ["", "[%s]" % section, "Image=" + picture, "LeftWidth=%d" % l, "TopHeight=%d" % t,
                "RightWidth=%d" % r, "BottomHeight=%d" % b, extra]
    for direction in ("Horz", "Vert"):
        ini += ["", "[UpDown.%s]" % direction, "Image=Spin%s.bmp" % direction,
                "GlyphImage=Spin%sGlyph.bmp" % direction, "Trans=1"]
    save_description(OUT, ini)


if __name__ == "__main__":
    main()
