#!/usr/bin/env python3
"""Puts every image of a skin folder on one PNG, frame by frame and labelled, so the whole skin
can be looked at at once (ImageMagick's montage does the drawing).

    resources/skin/contact_sheet.py [skin folder] [output.png]

Frames are cut as the client cuts them: the counts the client fixes for each element, the
counts the description gives where it reads them, frames one under the other for the top and
bottom edges, the caption text background and the menu bar.
"""
import configparser
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# (section, key, frames or the key that holds them, vertical); frames None: the image decides.
IMAGES = [
    ("Personality", "Left", "LeftFrame", False),
    ("Personality", "Right", "RightFrame", False),
    ("Personality", "Top", "TopFrame", True),
    ("Personality", "Bottom", "BottomFrame", True),
    ("Personality", "TextBack", 2, True),
    ("Personality", "MenuBar", 2, True),
    ("MDICONTROLS", "Image", 12, False),
    ("Buttons", "Bitmap", 5, False),
    ("Buttons", "CheckButton", None, False),
    ("Buttons", "RadioButton", None, False),
    ("Progress", "Bitmap", 2, False),
    ("Progress", "Chunk", 1, False),
    ("GroupBoxEdge", "Image", 2, False),
    ("Toolbars", "Image", 5, False),
    ("Tabs", "Image", 5, False),
    ("Tabs", "Border", 1, False),
    ("StatusBarEdges", "Image", 3, False),
    ("ComboButton", "Image", 4, False),
    ("SunkEdge", "Image", 4, False),
    ("ExtraImages", "Image", 5, False),
    ("Headerbar", "Image", 5, False),
    ("MenuItem", "Image", 5, False),
    ("MenuBackground", "Image", 1, False),
    ("Scrollbar", "Image", 23, False),
    ("HorzScroll", "Image", 4, False),
    ("VertScroll", "Image", 4, False),
    ("HorzScrollThumb", "Image", "FrameCount", False),
    ("VertScrollThumb", "Image", "FrameCount", False),
] + [("Trackbar.Thumb" + k, "Image", 5, False) for k in ("Horz", "Vert", "Left", "Right", "Up", "Down")] + [
    ("UpDown.Horz", "Image", 8, False),
    ("UpDown.Horz", "GlyphImage", 8, False),
    ("UpDown.Vert", "Image", 8, False),
    ("UpDown.Vert", "GlyphImage", 8, False),
]


def bmp_size(path):
    with open(path, "rb") as f:
        head = f.read(26)
    width, height = struct.unpack("<ii", head[18:26])
    return width, abs(height)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "lexdrill")
    output = sys.argv[2] if len(sys.argv) > 2 else "skin-contact-sheet.png"
    ini = configparser.ConfigParser(strict=False, interpolation=None)
    ini.optionxform = str.lower
    ini.read([os.path.join(folder, n) for n in os.listdir(folder) if n.lower().endswith(".ini")])
    sections = {s.lower(): s for s in ini.sections()}

    def value(section, key):
        real = sections.get(section.lower())
        return ini.get(real, key.lower(), fallback="").strip() if real else ""

    images = list(IMAGES)
    for section in ini.sections():
        up = section.upper()
        if up.startswith("BUTTON") and up not in ("BUTTONS", "BUTTON.RADIO", "BUTTON.CHECKBOX"):
            images.append((section, "ButtonImage", "frame", False))

    tiles = []
    for section, key, frames, vertical in images:
        name = value(section, key).replace(":", "\\").split("\\")[-1]
        path = os.path.join(folder, name)
        if not name or not os.path.exists(path):
            continue
        w, h = bmp_size(path)
        if isinstance(frames, str):
            frames = int(value(section, frames) or 0) or (3 if frames == "FrameCount" else 1)
        if frames is None:  # check and radio images: frames of 13 or 16 pixels, at least 4
            frames = max(4, w // (13 if h < 16 else 16))
        fw, fh = (w, h // frames) if vertical else (w // frames, h)
        for i in range(frames):
            x, y = (0, i * fh) if vertical else (i * fw, 0)
            tiles += ["-label", "%s %s %d/%d" % (section, key, i + 1, frames), "%s[%dx%d+%d+%d]" % (path, fw, fh, x, y)]

    subprocess.run(["montage", "-background", "#d8d8d8", "-fill", "#202020", "-font", "DejaVu-Sans", "-pointsize", "9",
                    "-filter", "point", "-geometry", "120x64<+8+8", "-tile", "10x"] + tiles + [output],
                   check=True, stdout=subprocess.DEVNULL)
    print(output)


if __name__ == "__main__":
    main()
