"""The window's background (500 x 220): a night landscape of the march with a castle on its hill
and the product's name over the sky, the plain window blue below; and the dark box that the target
folder is shown in before the download."""

import math

from PIL import Image, ImageChops, ImageDraw, ImageFilter

from . import icon
from .canvas import SCALE, Sketch, gradient, mix
from .fonts import font
from .palette import FOLDER_BOX, GREEN, NIGHT, WHITE, WINDOW_BLUE

WIDTH, HEIGHT = 500, 220
BANNER_HEIGHT = 106
FOLDER_BOX_SIZE = (405, 20)

SKY = [(0, NIGHT), (24, NIGHT), (56, (22, 58, 112)), (90, (64, 118, 176)),
       (BANNER_HEIGHT, (104, 156, 204))]
FAR_MOUNTAINS = [(42, (58, 100, 150)), (88, (38, 74, 122))]
NEAR_MOUNTAINS = [(64, (38, 74, 118)), (92, (24, 52, 90))]
SNOW = (170, 198, 228)
BACK_HILL = [(72, (46, 104, 72)), (100, (26, 66, 50))]
FRONT_HILL = [(88, (34, 86, 58)), (BANNER_HEIGHT, (16, 46, 36))]
HILL_RIM = (128, 200, 118)
CASTLE = (12, 30, 52)
LAMP = (255, 214, 128)
MOON = (236, 242, 250)
CASTLE_AT = (352, 81)
TITLE_SHADOW = (4, 12, 28)
SUBTITLE = (176, 212, 240)

# (x, y, radius) of the stars, placed by hand clear of the name and the caption buttons.
STARS = [(196, 12, 0.8), (238, 30, 0.6), (262, 10, 0.7), (300, 24, 0.9), (336, 8, 0.6),
         (352, 36, 0.7), (384, 18, 0.6), (412, 34, 0.8), (448, 44, 0.6), (476, 30, 0.7),
         (156, 28, 0.6), (318, 50, 0.6), (488, 56, 0.5), (12, 40, 0.5),
         (140, 8, 0.5)]


def ridge(peaks, bottom):
    """A mountain range through (x, y) peaks and valleys, closed along the banner's bottom."""
    return [(-1, bottom)] + peaks + [(WIDTH + 1, bottom)]


def rolling(base, waves, mounds, bottom):
    """A hill line of summed sine waves (amplitude, wavelength, phase) and rounded mounds (x,
    height, half width), closed along the bottom."""
    points = [(-1, bottom)]
    for step in range(WIDTH * SCALE // 2 + 1):
        x = step * 2 / SCALE
        y = base + sum(a * math.sin(2 * math.pi * x / length + phase) for a, length, phase in waves)
        y -= sum(height * math.exp(-((x - centre) / half) ** 2) for centre, height, half in mounds)
        points.append((x, y))
    return points + [(WIDTH + 1, bottom)]


def snow_band(peak, depth):
    """A band over a peak whose lower edge is ragged; laid over the range it leaves the snow."""
    x, y = peak
    edge = [(x + dx, y + depth * f) for dx, f in
            ((24, 0.9), (14, 1.1), (8, 0.7), (2, 1.2), (-4, 0.8), (-10, 1.15), (-16, 0.75),
             (-24, 1.0))]
    return [(x - 24, y - 2), (x + 24, y - 2)] + edge


def paint_sky(sketch):
    sketch.paint(gradient(WIDTH, HEIGHT, SKY), sketch.polygon_mask(
        [(0, 0), (WIDTH, 0), (WIDTH, BANNER_HEIGHT), (0, BANNER_HEIGHT)]))
    glow = sketch.ellipse_mask(250, 50, 480, 138).filter(ImageFilter.GaussianBlur(18 * SCALE))
    sketch.paint((150, 196, 232), glow, 0.45)
    for x, y, radius in STARS:
        sketch.paint(WHITE, sketch.ellipse_mask(x - radius, y - radius, x + radius, y + radius))
    moon = sketch.ellipse_mask(392, 34, 412, 54)
    moon = ImageChops.subtract(moon, sketch.ellipse_mask(398, 30, 418, 50))
    halo = sketch.ellipse_mask(386, 28, 418, 60).filter(ImageFilter.GaussianBlur(6 * SCALE))
    sketch.paint(MOON, halo, 0.25)
    sketch.paint(MOON, moon)


def paint_land(sketch):
    bottom = BANNER_HEIGHT
    far = [(0, 74), (36, 60), (70, 68), (120, 44), (160, 62), (206, 50), (248, 66), (292, 42),
           (338, 64), (388, 48), (430, 66), (468, 54), (500, 68)]
    range_mask = sketch.polygon_mask(ridge(far, bottom))
    sketch.paint(gradient(WIDTH, HEIGHT, FAR_MOUNTAINS), range_mask)
    for peak in ((120, 44), (292, 42), (388, 48), (206, 50)):
        snow = ImageChops.multiply(range_mask, sketch.polygon_mask(snow_band(peak, 6)))
        sketch.paint(SNOW, snow, 0.75)
    near = [(0, 82), (52, 70), (96, 80), (150, 64), (196, 78), (240, 72), (286, 82), (330, 68),
            (372, 80), (424, 70), (470, 80), (500, 74)]
    sketch.paint(gradient(WIDTH, HEIGHT, NEAR_MOUNTAINS), sketch.polygon_mask(ridge(near, bottom)))
    back = rolling(89, [(3, 260, 0.6), (1.5, 90, 2.0)], [(352, 11, 40)], bottom)
    sketch.paint(HILL_RIM, sketch.polygon_mask(back), 0.6)
    sketch.paint(gradient(WIDTH, HEIGHT, BACK_HILL),
                 sketch.polygon_mask([(x, y + 1) for x, y in back]))
    paint_castle(sketch)
    front = rolling(96, [(3, 210, 3.4), (1.5, 70, 1.0)], [(90, 6, 60)], bottom)
    sketch.paint(HILL_RIM, sketch.polygon_mask(front), 0.45)
    sketch.paint(gradient(WIDTH, HEIGHT, FRONT_HILL),
                 sketch.polygon_mask([(x, y + 1) for x, y in front]))


def battlements(left, right, top, merlon):
    """The top line of a wall from left to right: merlons of the given width, one apart."""
    points = [(left, top)]
    x = left
    while x + merlon <= right:
        points += [(x, top - merlon), (x + merlon, top - merlon), (x + merlon, top)]
        x += 2 * merlon
    return points + [(right, top)]


def paint_castle(sketch):
    """A keep with battlements between two towers with pointed roofs and a pennant, standing on
    the mound of the back hill at CASTLE_AT; two lit windows."""
    cx, ground = CASTLE_AT
    keep = battlements(cx - 11, cx + 11, ground - 25, 3) + [(cx + 11, ground), (cx - 11, ground)]
    parts = [
        [(cx + x, ground - y) for x, y in outline] for outline in (
            [(-20, 0), (-20, 24), (-13, 24), (-13, 0)],
            [(-21.5, 24), (-16.5, 38), (-11.5, 24)],
            [(13, 0), (13, 20), (19, 20), (19, 0)],
            [(11.5, 20), (16, 32), (20.5, 20)],
            [(-16.5, 38), (-16.5, 45), (-11.5, 43), (-16, 41.5)],
        )
    ] + [keep]
    for part in parts:
        sketch.paint(CASTLE, sketch.polygon_mask(part))
    for left, top, width, height in ((cx - 2, ground - 18, 3, 5), (cx + 15, ground - 13, 2, 4)):
        sketch.paint(LAMP, sketch.polygon_mask(
            [(left, top), (left + width, top), (left + width, top + height), (left, top + height)]))


def paint_title(sketch):
    name_font = font("serif-bold", 32 * SCALE)
    origin = (22 * SCALE, 26 * SCALE)
    shadow, draw = sketch.new_mask()
    draw.text((origin[0] + SCALE, origin[1] + 2 * SCALE), "Vellomarch", font=name_font, fill=255)
    sketch.paint(TITLE_SHADOW, shadow.filter(ImageFilter.GaussianBlur(2 * SCALE)), 0.8)
    name, draw = sketch.new_mask()
    draw.text(origin, "Vellomarch", font=name_font, fill=255)
    sketch.paint(gradient(WIDTH, HEIGHT, [(30, WHITE), (60, (206, 226, 246))]), name)


def paint_window(sketch):
    sketch.paint(WINDOW_BLUE, sketch.polygon_mask(
        [(0, BANNER_HEIGHT), (WIDTH, BANNER_HEIGHT), (WIDTH, HEIGHT), (0, HEIGHT)]))


def paint_lettering(image):
    """What is drawn at the real size: the program's mark at the top left, the line under the name
    and the rule between the banner and the plain blue."""
    tile = icon.render(16)
    mark = Image.new("RGBA", (16, 16))
    mark.putdata([pixel for row in tile for pixel in row])
    image.paste(mark.convert("RGB"), (8, 6), mark.getchannel("A"))
    draw = ImageDraw.Draw(image)
    draw.text((29, 7), "MoraventDL", font=font("sans-bold", 11), fill=(200, 218, 238))
    subtitle = font("sans", 11)
    x = 25
    for letter in "GAME  DOWNLOADER":
        draw.text((x, 66), letter, font=subtitle, fill=SUBTITLE)
        x += subtitle.getlength(letter) + 1.5
    draw.line([(0, BANNER_HEIGHT), (WIDTH - 1, BANNER_HEIGHT)], fill=GREEN)
    draw.line([(0, BANNER_HEIGHT + 1), (WIDTH - 1, BANNER_HEIGHT + 1)],
              fill=mix(GREEN, WINDOW_BLUE, 0.7))


def background():
    sketch = Sketch(WIDTH, HEIGHT)
    paint_sky(sketch)
    paint_land(sketch)
    paint_title(sketch)
    paint_window(sketch)
    image = sketch.reduce().convert("RGB")
    paint_lettering(image)
    return image


def folder_box():
    return Image.new("RGB", FOLDER_BOX_SIZE, FOLDER_BOX)
