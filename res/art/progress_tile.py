"""The progress bar's tile (10 x 10): the icon's green as a glossy band, the same in every column
so that tiles join without seams and a cut tile still looks whole."""

from .canvas import gradient
from .palette import GREEN

SIZE = 10
BAND = [(0, (214, 250, 178)), (1, (170, 234, 118)), (4.5, GREEN), (5.5, (104, 190, 62)),
        (SIZE, (66, 142, 40))]


def progress_tile():
    return gradient(SIZE, SIZE, BAND)
