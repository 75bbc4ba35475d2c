"""The Debian fonts the lettering uses, found by path and laid out without optional libraries."""

import os

from PIL import ImageFont

FONT_DIR = "/usr/share/fonts/truetype"
FONTS = {
    "sans-bold": ("liberation/LiberationSans-Bold.ttf", "fonts-liberation"),
    "sans": ("liberation/LiberationSans-Regular.ttf", "fonts-liberation"),
    "serif-bold": ("dejavu/DejaVuSerif-Bold.ttf", "fonts-dejavu-core"),
}


def font(name, size):
    """The font at a pixel size. The basic layout engine keeps glyph placement the same whether or
    not libraqm happens to be installed."""
    path, package = FONTS[name]
    full_path = os.path.join(FONT_DIR, path)
    if not os.path.exists(full_path):
        raise SystemExit(f"{full_path} is missing: apt-get install {package}")
    return ImageFont.truetype(full_path, size, layout_engine=ImageFont.Layout.BASIC)
