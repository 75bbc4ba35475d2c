"""Supersampled drawing: shapes are drawn SCALE times larger and averaged down, so that their edges
are smooth at the real size. Lettering is drawn at the real size, where the font's hinting keeps it
sharp."""

from PIL import Image, ImageDraw

from .palette import KEY

SCALE = 4
# Below this coverage (of 255) an edge pixel of a face becomes the key colour.
KEEP_FROM = 40


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def colour_at(stops, position):
    """The colour at a position between (position, colour) stops given in rising order; before
    the first and after the last stop the colour of that stop."""
    if position <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if position <= p1:
            return mix(c0, c1, (position - p0) / (p1 - p0))
    return stops[-1][1]


def gradient(width, height, stops):
    """An RGB image whose rows blend between (row, colour) stops."""
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        draw.line([(0, y), (width - 1, y)], fill=colour_at(stops, y + 0.5))
    return image


class Sketch:
    """A transparent picture of width x height real pixels, drawn SCALE times larger. Coordinates
    are in real pixels and may be fractional."""

    def __init__(self, width, height):
        self.size = (width, height)
        self.layer = Image.new("RGBA", (width * SCALE, height * SCALE), (0, 0, 0, 0))

    def scaled(self, points):
        return [(x * SCALE, y * SCALE) for x, y in points]

    def new_mask(self):
        mask = Image.new("L", self.layer.size, 0)
        return mask, ImageDraw.Draw(mask)

    def rounded_mask(self, left, top, right, bottom, radius):
        mask, draw = self.new_mask()
        draw.rounded_rectangle(self.scaled([(left, top), (right, bottom)]), radius * SCALE,
                               fill=255)
        return mask

    def ellipse_mask(self, left, top, right, bottom):
        mask, draw = self.new_mask()
        draw.ellipse(self.scaled([(left, top), (right, bottom)]), fill=255)
        return mask

    def polygon_mask(self, points):
        mask, draw = self.new_mask()
        draw.polygon(self.scaled(points), fill=255)
        return mask

    def line_mask(self, points, width):
        mask, draw = self.new_mask()
        draw.line(self.scaled(points), fill=255, width=round(width * SCALE), joint="curve")
        return mask

    def paint(self, fill, mask, opacity=1.0):
        """Lays a colour, or a real-size RGB image stretched to the sketch, through a mask."""
        if isinstance(fill, tuple):
            source = Image.new("RGBA", self.layer.size, fill + (255,))
        else:
            source = fill.resize(self.layer.size, Image.Resampling.NEAREST).convert("RGBA")
        if opacity < 1.0:
            mask = mask.point(lambda value: round(value * opacity))
        source.putalpha(mask)
        self.layer = Image.alpha_composite(self.layer, source)

    def reduce(self):
        """The real-size picture; the resize averages with alpha premultiplied, so edges keep
        their own colour."""
        return self.layer.resize(self.size, Image.Resampling.BOX)


def flatten(picture, matte):
    """An opaque RGB picture: edge pixels blend with the matte colour they will sit on, and pixels
    the shape barely touches become exactly the key colour."""
    alpha = picture.getchannel("A")
    opaque = Image.new("RGB", picture.size, matte)
    opaque.paste(picture.convert("RGB"), mask=alpha)
    outside = alpha.point(lambda value: 255 if value < KEEP_FROM else 0)
    opaque.paste(KEY, mask=outside)
    return opaque


def has_key_fringe(image):
    """True when some pixel is nearly, but not exactly, the key colour."""
    for pixel in image.getdata():
        if pixel != KEY and pixel[0] > 200 and pixel[1] < 80 and pixel[2] > 200:
            return True
    return False
