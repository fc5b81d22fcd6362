"""What the test skins' scripts share: images as rows of (r, g, b) pixels, laid out in frames
and written as 24-bit BMP files, and the description written as the engine reads it. Python 3
standard library only."""
import os
import struct

KEY = (255, 0, 255)  # the key colour: cut from the window region, transparent in glyphs


def image(w, h, colour):
    return [[colour] * w for _ in range(h)]


def side_by_side(frames):
    return [sum((f[y] for f in frames), []) for y in range(len(frames[0]))]


def stacked(frames):
    return [row for f in frames for row in f]


def save(folder, name, rows):
    """A bottom-up 24-bit BMP with the 40-byte info header."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(header + info + data)


def save_description(folder, lines):
    """Skin.ini, with the line ends of the platform whose INI functions read it."""
    with open(os.path.join(folder, "Skin.ini"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


def rgb(c):
    return "%d %d %d" % c
