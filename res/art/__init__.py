"""The painters behind res/make_art: one module per kind of picture, with shared helpers."""
