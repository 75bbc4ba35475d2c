"""The caption buttons' faces (19 x 17): a round grey stud with a dark mark (a chevron, a dash or a
cross); green under the pointer, or red for the cross; magenta around the circle."""

from .canvas import Sketch, flatten, gradient
from .palette import NIGHT, WHITE

WIDTH, HEIGHT = 19, 17
CIRCLE = (2, 1, 17, 16)

LOOKS = {
    "grey": dict(rim=(30, 36, 48), body=[(1, (214, 219, 226)), (16, (118, 126, 140))],
                 mark=(44, 50, 62)),
    "green": dict(rim=(18, 52, 22), body=[(1, (190, 242, 140)), (16, (60, 146, 44))],
                  mark=(14, 44, 18)),
    "red": dict(rim=(60, 12, 12), body=[(1, (255, 150, 136)), (16, (186, 38, 34))],
                mark=WHITE),
}

MARKS = {
    "chevron": [[(6, 6.8), (9.5, 10.3), (13, 6.8)]],
    "dash": [[(6, 8.5), (13, 8.5)]],
    "cross": [[(6.5, 6), (12.5, 11)], [(12.5, 6), (6.5, 11)]],
}


def face(mark, look_name):
    look = LOOKS[look_name]
    left, top, right, bottom = CIRCLE
    sketch = Sketch(WIDTH, HEIGHT)
    sketch.paint(look["rim"], sketch.ellipse_mask(left, top, right, bottom))
    sketch.paint(gradient(WIDTH, HEIGHT, look["body"]),
                 sketch.ellipse_mask(left + 1, top + 1, right - 1, bottom - 1))
    sketch.paint(WHITE, sketch.ellipse_mask(left + 3, top + 1.6, right - 3, top + 7), 0.35)
    for stroke in MARKS[mark]:
        sketch.paint(look["mark"], sketch.line_mask(stroke, 1.8))
    # The caption buttons sit on the solid top of the sky: their soft edges blend into it.
    return flatten(sketch.reduce(), NIGHT)
