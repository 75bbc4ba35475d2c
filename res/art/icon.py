"""The program's icon: a rounded tile in deep blue with a white arrow pointing down onto a green
bar, the downloader's one job. Every size is drawn from the same shapes (no scaling of pixels),
with 4x4 supersampling for smooth edges, as 32-bit images with alpha and a matching AND mask."""

import struct

from .palette import BLUE, DEEP_BLUE, GREEN, WHITE

ICON_SIZES = (16, 32, 48)
SUPERSAMPLE = 4

TILE_TOP = BLUE
TILE_BOTTOM = DEEP_BLUE
ARROW = WHITE
BAR = GREEN


def inside_rounded_rect(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_arrow(x, y):
    # Shaft and head in the unit square, pointing down.
    if 0.42 <= x <= 0.58 and 0.18 <= y <= 0.52:
        return True
    head_top, head_tip = 0.46, 0.72
    if head_top <= y <= head_tip:
        half_width = 0.24 * (head_tip - y) / (head_tip - head_top)
        return abs(x - 0.5) <= half_width
    return False


def shade_at(x, y):
    """The colour and coverage of one sample point in the unit square, or None outside the art."""
    if not inside_rounded_rect(x, y, 0.04, 0.04, 0.96, 0.96, 0.18):
        return None
    if inside_arrow(x, y):
        return ARROW
    if inside_rounded_rect(x, y, 0.22, 0.78, 0.78, 0.86, 0.03):
        return BAR
    mix = (y - 0.04) / 0.92
    return tuple(round(a + (b - a) * mix) for a, b in zip(TILE_TOP, TILE_BOTTOM))


def render(size):
    """Rows top to bottom of (r, g, b, a) pixels."""
    rows = []
    samples = SUPERSAMPLE * SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) / size
                    y = (py + (sy + 0.5) / SUPERSAMPLE) / size
                    colour = shade_at(x, y)
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += colour[i]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                r, g, b = (round(c / covered) for c in total)
                row.append((r, g, b, round(255 * covered / samples)))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask bottom-up."""
    rows = render(size)
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = bytearray()
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image),
                               offset)
        offset += len(image)
    return directory + bytes(entries) + b"".join(images)
