#!/usr/bin/env python3
"""Draws the form-skin test fixture into formskin/: a skin whose every frame of every element
the form skin draws is a flat colour of its own, so that one pixel tells which element and
which frame was drawn there. The frame images carry magenta (the key colour) only where the
window region is cut: two pixels at each corner of the side images, one at each end of the top
row of the caption band, and above the separator line in the second frame of the menu-item
image, which is drawn with magenta transparent. Python 3 standard library only; run it and commit what it wrote.

    tests/data/make_formskin.py
"""
import os

from skinimage import KEY, image, rgb, save_description, side_by_side, stacked
import skinimage

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "formskin")

# Flat colours, (r, g, b), each used once. Caption buttons: normal, pressed, hot, inactive.
COLOURS = {
    "left": [(200, 30, 30), (120, 30, 30)],
    "right": [(30, 200, 30), (30, 120, 30)],
    "top": [(30, 30, 200), (30, 30, 120)],
    "bottom": [(200, 200, 30), (120, 120, 30)],
    "textback": [(30, 200, 200), (30, 120, 120)],
    "close": [(240, 10, 10), (241, 10, 10), (242, 10, 10), (243, 10, 10)],
    "max": [(10, 240, 10), (10, 241, 10), (10, 242, 10), (10, 243, 10)],
    "restore": [(10, 10, 240), (10, 10, 241), (10, 10, 242), (10, 10, 243)],
    "min": [(240, 240, 10), (241, 241, 10), (242, 242, 10), (243, 243, 10)],
    "left_button": [(10, 240, 240), (10, 241, 241), (10, 242, 242), (10, 243, 243)],
    "before_text": [(240, 120, 10), (241, 120, 10), (242, 120, 10), (243, 120, 10)],
    "after_text": [(120, 10, 240), (120, 10, 241), (120, 10, 242), (120, 10, 243)],
    # The menus: the bar (active, inactive), the five item frames (normal, separator, unused,
    # selected, unused) and the pop-up window's background.
    "menubar": [(60, 160, 60), (60, 100, 60)],
    "menuitem": [(200, 200, 240), (90, 10, 90), (1, 2, 3), (20, 80, 160), (4, 5, 6)],
    "menuback": [(240, 220, 200)],
    # Push buttons: normal, pressed, disabled, hot or focused, and the fifth that is never drawn.
    "push": [(90, 160, 20), (91, 120, 20), (92, 92, 92), (93, 200, 60), (94, 10, 10)],
}
TEXT_ACTIVE = (250, 250, 250)
MENU_COLOURS = {
    "Menubar": (70, 70, 70), "MenuBarText": (255, 255, 0), "ButtonHilight": (255, 128, 0),
    "Menu": (150, 150, 220), "Hilight": (0, 0, 128), "MenuText": (0, 0, 0),
    "HilightText": (255, 255, 255), "ButtonShadow": (128, 0, 0),
}
MENU_BAR_W, MENU_ITEM_W, MENU_ITEM_H, MENU_BACK = 20, 30, 20, 12
TEXT_INACTIVE = (5, 5, 5)
FACE = (180, 180, 180)
PUSH_TEXT = [(0, 0, 90), (0, 0, 91), (250, 250, 92)]  # normal, hot, pressed

SIDE_W, BAND_H, BOTTOM_H = 6, 24, 5
BUTTON_W, BUTTON_H = 16, 14
PUSH_W, PUSH_H = 12, 12


def save(name, rows):
    skinimage.save(OUT, name, rows)


def side(colour, right):
    """A 6 x 40 side frame: the caption band's 24 rows and the bottom's 5 rows unstretched, the
    outer two columns of its first and last two rows cut away."""
    rows = image(SIDE_W, 40, colour)
    outer = range(SIDE_W - 2, SIDE_W) if right else range(0, 2)
    for y in (0, 1, 38, 39):
        for x in outer:
            rows[y][x] = KEY
    return rows


def band(colour):
    """A 20 x 24 caption band frame whose top row is cut at both ends."""
    rows = image(20, BAND_H, colour)
    rows[0][0] = rows[0][19] = KEY
    return rows


BUTTONS = [
    # name, section keys
    ("close", "Action=0\nAlign=1\nXcoord=22\nYcoord=5\nVisibility=0\nVisibility1=0"),
    ("max", "Action=1\nAlign=1\nXcoord=40\nYcoord=5\nVisibility=6\nVisibility1=2"),
    ("restore", "Action=1\nAlign=1\nXcoord=40\nYcoord=5\nVisibility=6\nVisibility1=1"),
    ("min", "Action=2\nAlign=1\nXcoord=58\nYcoord=5\nVisibility=8\nVisibility1=0"),
    ("left_button", "Action=40\nAlign=0\nXcoord=8\nYcoord=5\nVisibility=200\nVisibility1=200"),
    ("before_text", "Action=41\nAlign=2\nXcoord=2\nYcoord=5\nVisibility=200\nVisibility1=200"),
    ("after_text", "Action=42\nAlign=3\nXcoord=2\nYcoord=5\nVisibility=200\nVisibility1=200"),
]


# The small controls, the status bar and the boxes: every frame a flat colour of its own.
SMALL = {
    # Check box and radio button glyphs: unchecked, checked, unchecked disabled, checked disabled
    # (or indeterminate).
    "check": [(20, 140, 20), (21, 141, 21), (22, 142, 22), (23, 143, 23)],
    "radio": [(140, 20, 140), (141, 21, 141), (142, 22, 142), (143, 23, 143)],
    # Track bar thumbs; frame 2 is the one drawn.
    "thumb_horz": [(60, 60, 1), (60, 60, 2), (60, 60, 3), (60, 60, 4), (60, 60, 5)],
    "thumb_vert": [(61, 61, 1), (61, 61, 2), (61, 61, 3), (61, 61, 4), (61, 61, 5)],
    # Up-down halves: first button normal, pressed, disabled, hot; then the second's. The glyphs
    # likewise, in colours of their own.
    "updown_vert": [(100, 10, k) for k in range(1, 9)],
    "updown_vert_glyph": [(101, 20, k) for k in range(1, 9)],
    "updown_horz": [(102, 30, k) for k in range(1, 9)],
    "updown_horz_glyph": [(103, 40, k) for k in range(1, 9)],
    # Progress: background, bar; and the chunk.
    "progress": [(30, 70, 110), (40, 170, 40)],
    "chunk": [(10, 90, 200)],
    # Combo button: normal, pressed, disabled, hot or focused; its sunken edge likewise; the
    # extra images: four drop-down arrows by state, then the size grip.
    "combo": [(200, 100, 1), (200, 100, 2), (200, 100, 3), (200, 100, 4)],
    "sunk": [(70, 30, 1), (70, 30, 2), (70, 30, 3), (70, 30, 4)],
    "extra": [(5, 200, 100), (6, 200, 100), (7, 200, 100), (8, 200, 100), (9, 200, 100)],
    # Status-bar panels: lowered, raised, without bevel.
    "status": [(220, 180, 1), (220, 180, 2), (220, 180, 3)],
}
STATUS_TEXT = (0, 60, 0)
CHECK_W, THUMB_LONG, THUMB_SHORT, UPDOWN_W, UPDOWN_GLYPH = 13, 21, 11, 8, 4
PROGRESS_W, CHUNK_W, CHUNK_H, COMBO_W, SUNK_W, EXTRA_W, EXTRA_H, STATUS_W = 10, 6, 8, 16, 8, 7, 5, 8


def small_controls():
    """Draws the images of the small controls, the status bar and the boxes; returns their
    description sections."""
    def strip(name, w, h, colours):
        save(name, side_by_side([image(w, h, c) for c in colours]))

    strip("CheckButton.bmp", CHECK_W, CHECK_W, SMALL["check"])
    strip("RadioButton.bmp", CHECK_W, CHECK_W, SMALL["radio"])
    strip("ThumbHorz.bmp", THUMB_SHORT, THUMB_LONG, SMALL["thumb_horz"])
    strip("ThumbVert.bmp", THUMB_LONG, THUMB_SHORT, SMALL["thumb_vert"])
    for axis in ("vert", "horz"):
        strip("UpDown%s.bmp" % axis.title(), UPDOWN_W, UPDOWN_W, SMALL["updown_" + axis])
        strip("UpDown%sGlyph.bmp" % axis.title(), UPDOWN_GLYPH, UPDOWN_GLYPH, SMALL["updown_%s_glyph" % axis])
    strip("Progress.bmp", PROGRESS_W, PROGRESS_W, SMALL["progress"])
    # A chunk is a block with a keyed gap column on its right.
    chunk = image(CHUNK_W, CHUNK_H, SMALL["chunk"][0])
    for row in chunk:
        row[-1] = KEY
    save("Chunk.bmp", chunk)
    strip("ComboButton.bmp", COMBO_W, COMBO_W, SMALL["combo"])
    strip("SunkEdge.bmp", SUNK_W, SUNK_W, SMALL["sunk"])
    strip("ExtraImages.bmp", EXTRA_W, EXTRA_H, SMALL["extra"])
    strip("StatusBarEdges.bmp", STATUS_W, STATUS_W, SMALL["status"])
    return [
        "",
        "[Trackbar.ThumbHorz]", "Image=ThumbHorz.bmp",
        "",
        "[Trackbar.ThumbVert]", "Image=ThumbVert.bmp",
        "",
        "[UpDown.Vert]", "Image=UpDownVert.bmp", "GlyphImage=UpDownVertGlyph.bmp",
        "",
        "[UpDown.Horz]", "Image=UpDownHorz.bmp", "GlyphImage=UpDownHorzGlyph.bmp",
        "",
        "[Progress]", "Bitmap=Progress.bmp", "Chunk=Chunk.bmp", "Style=0",
        "LeftWidth=2", "TopHeight=2", "RightWidth=2", "BottomHeight=2", "Tile=0",
        "",
        "[ComboButton]", "Image=ComboButton.bmp", "Style=0",
        "",
        "[SunkEdge]", "Image=SunkEdge.bmp", "LeftWidth=2", "TopHeight=2", "RightWidth=2", "BottomHeight=2",
        "Trans=0", "Tile=0",
        "",
        "[ExtraImages]", "Image=ExtraImages.bmp",
        "",
        "[StatusBarEdges]", "Image=StatusBarEdges.bmp", "LeftWidth=2", "TopHeight=2", "RightWidth=2",
        "BottomHeight=2", "Tile=0", "NormalColour2=%s" % rgb(STATUS_TEXT),
    ]


def main():
    os.makedirs(OUT, exist_ok=True)
    save("Left.bmp", side_by_side([side(c, False) for c in COLOURS["left"]]))
    save("Right.bmp", side_by_side([side(c, True) for c in COLOURS["right"]]))
    save("Top.bmp", stacked([band(c) for c in COLOURS["top"]]))
    save("Bottom.bmp", stacked([image(20, BOTTOM_H, c) for c in COLOURS["bottom"]]))
    save("TextBack.bmp", stacked([image(30, BAND_H, c) for c in COLOURS["textback"]]))
    save("MenuBar.bmp", stacked([image(MENU_BAR_W, 19, c) for c in COLOURS["menubar"]]))
    # The separator is the bottom rows of frame 2: a 2-row line on magenta above it.
    frames = [image(MENU_ITEM_W, MENU_ITEM_H, c) for c in COLOURS["menuitem"]]
    frames[1] = [[KEY] * MENU_ITEM_W for _ in range(MENU_ITEM_H - 2)] + image(MENU_ITEM_W, 2, COLOURS["menuitem"][1])
    save("MenuItem.bmp", side_by_side(frames))
    save("MenuBack.bmp", image(MENU_BACK, MENU_BACK, COLOURS["menuback"][0]))
    for name, _ in BUTTONS:
        save("Btn_%s.bmp" % name, side_by_side([image(BUTTON_W, BUTTON_H, c) for c in COLOURS[name]]))
    save("Buttons.bmp", side_by_side([image(PUSH_W, PUSH_H, c) for c in COLOURS["push"]]))

    ini = [
        "; The form-skin test fixture. Drawn by ../make_formskin.py: change that, not this.",
        "[Personality]",
        "Left=Left.bmp", "LeftTopHeight=%d" % BAND_H, "LeftBotHeight=%d" % BOTTOM_H, "LeftFrame=2",
        "Right=Right.bmp", "RightTopHeight=%d" % BAND_H, "RightBotHeight=%d" % BOTTOM_H, "RightFrame=2",
        "Top=Top.bmp", "TopTopHeight=3", "TopBotHeight=3", "TopFrame=2",
        "Bottom=Bottom.bmp", "BottomFrame=2",
        "TextBack=TextBack.bmp", "TextShift=40", "TextShiftVert=0", "TextRightClip=70",
        "TextAlignment=0", "TXTBackleft=4", "TXTBackRight=4",
        "MenuBar=MenuBar.bmp", "TileMenu=1", "TileLeftMenu=10", "TileRightMenu=4",
        "",
        "[Buttons]",
        "Bitmap=Buttons.bmp", "LeftWidth=3", "TopHeight=3", "RightWidth=3", "BottomHeight=3",
        "NormalColour2=%s" % rgb(PUSH_TEXT[0]), "MouseOverColour2=%s" % rgb(PUSH_TEXT[1]),
        "PressedColour2=%s" % rgb(PUSH_TEXT[2]),
        "CheckButton=CheckButton.bmp", "CheckButtonFrame=4", "RadioButton=RadioButton.bmp", "RadioButtonFrame=4",
        "",
        "[Colours]",
        "ButtonFace=%s" % rgb(FACE),
        "TitleTextActive=%s" % rgb(TEXT_ACTIVE),
        "TitleTextNoActive=%s" % rgb(TEXT_INACTIVE),
    ] + ["%s=%s" % (k, rgb(c)) for k, c in MENU_COLOURS.items()] + [
        "",
        "[MenuItem]",
        "Image=MenuItem.bmp", "LeftWidth=4", "RightWidth=4", "TopHeight=0", "BottomHeight=0",
        "Trans=0", "Tile=0",
        "",
        "[MenuBackground]",
        "Image=MenuBack.bmp", "LeftWidth=4", "RightWidth=4", "TopHeight=4", "BottomHeight=4",
        "Tile=0",
    ]
    ini += small_controls()
    for i, (name, keys) in enumerate(BUTTONS):
        ini += ["", "[Button%d]" % i] + keys.split("\n") + ["frame=4", "ButtonImage=Btn_%s.bmp" % name]
    save_description(OUT, ini)


if __name__ == "__main__":
    main()
