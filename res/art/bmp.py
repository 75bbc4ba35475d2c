"""24-bit Windows bitmaps, written by hand so that every byte is fixed by the pixels alone."""

import struct

FILE_HEADER_SIZE = 14
INFO_HEADER_SIZE = 40
PIXELS_PER_METRE = 3780  # 96 dots per inch


def bmp_bytes(image):
    """A BITMAPFILEHEADER, a BITMAPINFOHEADER and the BGR rows bottom-up, each padded to 4 bytes."""
    if image.mode != "RGB":
        raise ValueError("a bitmap of the skin is RGB, not " + image.mode)
    width, height = image.size
    stride = (width * 3 + 3) & ~3
    padding = bytes(stride - width * 3)
    rgb = image.tobytes()
    rows = []
    for y in reversed(range(height)):
        row = bytearray(rgb[y * width * 3:(y + 1) * width * 3])
        row[0::3], row[2::3] = row[2::3], row[0::3]
        rows.append(bytes(row) + padding)
    pixels = b"".join(rows)
    offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info_header = struct.pack("<IiiHHIIiiII", INFO_HEADER_SIZE, width, height, 1, 24, 0,
                              len(pixels), PIXELS_PER_METRE, PIXELS_PER_METRE, 0, 0)
    return file_header + info_header + pixels
