"""The big buttons' faces (55 x 23): a rounded glossy blue plate with the word in white, lighter
under the pointer and sunk when pressed; magenta outside the rounded corners."""

from PIL import ImageDraw

from .canvas import Sketch, flatten, gradient
from .fonts import font
from .palette import DEEP_BLUE, WHITE, WINDOW_BLUE

WIDTH, HEIGHT = 55, 23
RADIUS = 4.5
FONT_SIZE = 11

# Per state: border, plate from top to bottom, the shine along the top edge (opacity), the
# word's colour and how far it sinks.
STATES = {
    "normal": dict(border=(6, 18, 40), plate=[(1, (74, 134, 200)), (22, (30, 74, 136))],
                   shine=0.45, word=WHITE, sink=0),
    "hover": dict(border=(6, 18, 40), plate=[(1, (108, 176, 238)), (22, (44, 104, 172))],
                  shine=0.6, word=WHITE, sink=0),
    "pressed": dict(border=(4, 12, 28), plate=[(1, (22, 56, 104)), (22, (46, 98, 162))],
                    shine=0.0, word=(214, 228, 244), sink=1),
}


def plate(state):
    look = STATES[state]
    sketch = Sketch(WIDTH, HEIGHT)
    sketch.paint(look["border"], sketch.rounded_mask(0, 0, WIDTH, HEIGHT, RADIUS))
    sketch.paint(gradient(WIDTH, HEIGHT, look["plate"]),
                 sketch.rounded_mask(1, 1, WIDTH - 1, HEIGHT - 1, RADIUS - 1))
    if look["shine"]:
        sketch.paint(WHITE, sketch.rounded_mask(2, 1.6, WIDTH - 2, 2.6, 0.5), look["shine"])
    else:  # a shadow along the top edge of the sunk plate instead
        sketch.paint(DEEP_BLUE, sketch.rounded_mask(1.5, 1, WIDTH - 1.5, 2.5, 0.5), 0.8)
    # The big buttons sit on the plain window blue: their soft edges blend into it.
    return flatten(sketch.reduce(), WINDOW_BLUE)


def face(word, state):
    """One face: the plate of the state with the word centred on it."""
    image = plate(state)
    look = STATES[state]
    lettering = font("sans-bold", FONT_SIZE)
    left, top, right, bottom = lettering.getbbox(word)
    x = (WIDTH - (right - left)) // 2 - left
    y = (HEIGHT - (bottom - top)) // 2 - top + look["sink"]
    draw = ImageDraw.Draw(image)
    draw.text((x, y + 1), word, font=lettering, fill=DEEP_BLUE)
    draw.text((x, y), word, font=lettering, fill=look["word"])
    return image
