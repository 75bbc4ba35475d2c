"""Colours shared by every picture, so that the icon, the skin and the buttons match."""

# The transparent colour of every button face: the window's own background shows there.
KEY = (255, 0, 255)

# The icon's tile, arrow and bar; the skin takes its blues and its green from them.
DEEP_BLUE = (14, 40, 86)
BLUE = (38, 92, 158)
WHITE = (255, 255, 255)
GREEN = (142, 222, 85)

# The plain part of the window under the banner, where the big buttons sit.
WINDOW_BLUE = (22, 56, 104)
# The top of the sky, where the caption buttons sit.
NIGHT = (9, 22, 48)

# The box behind the target folder: the window's layout fixes this colour.
FOLDER_BOX = (41, 41, 41)
