#!/usr/bin/env python3
"""Writes the button faces of the controls tests (24-bit BMP files next to this script).

Every face has magenta (the key colour) corners; the pressed face is magenta on its left half
too, so that what lies beneath shows there. Run it again after changing a face; the outputs
are checked in so that a build needs no image tools.
"""
import os
import struct

MAGENTA = (255, 0, 255)


def write_bmp(path, width, height, pixel):
    row_size = (width * 3 + 3) & ~3
    image = bytearray()
    for y in reversed(range(height)):  # BMP rows run bottom-up
        row = bytearray()
        for x in range(width):
            red, green, blue = pixel(x, y)
            row += bytes((blue, green, red))
        image += row + bytes(row_size - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(image), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + image)


def face(width, height, colour, magenta_left_half=False):
    def pixel(x, y):
        corner = x in (0, width - 1) and y in (0, height - 1)
        if corner or (magenta_left_half and x < width // 2):
            return MAGENTA
        return colour
    return width, height, pixel


FACES = {
    "face_normal.bmp": face(12, 8, (200, 0, 0)),
    "face_hover.bmp": face(12, 8, (0, 200, 0)),
    "face_pressed.bmp": face(12, 8, (0, 0, 200), magenta_left_half=True),
    "face_wide.bmp": face(20, 10, (200, 200, 0)),
}

if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    for name, (width, height, pixel) in FACES.items():
        write_bmp(os.path.join(here, name), width, height, pixel)
