"""Where things stand in our two windows, in twips: the design values of each window's controls,
and the boards the game lays out for the pictures these tests show. Twips become screen pixels
here and nowhere else."""

from collections import namedtuple

TWIPS_PER_PIXEL = 15


class Rect(namedtuple("Rect", "left top width height")):
    """A rectangle in twips, relative to the window's client area."""

    def centre(self, scale=1):
        unit = TWIPS_PER_PIXEL / scale
        return (self.left + self.width / 2) / unit, (self.top + self.height / 2) / unit

    def pixels(self, scale=1):
        """(left, top, width, height) in whole pixels, each edge rounded on its own."""
        unit = TWIPS_PER_PIXEL / scale
        x0, y0 = round(self.left / unit), round(self.top / unit)
        return (x0, y0, round((self.left + self.width) / unit) - x0,
                round((self.top + self.height) / unit) - y0)


# The design values of the game window, in twips.
GAME = {
    "window": Rect(0, 0, 9510, 6825),
    "Blanda": Rect(4200, 5930, 1800, 900),
    "Se bild": Rect(6000, 5930, 1800, 900),
    "Sluta": Rect(7785, 5930, 1740, 900),
}

# The design values of the setup window, in twips. The option buttons "x = i + 1" and
# "y = i + 1" stand 120 in and 480 + 360 i down in their frames.
SETUP = {
    "window": Rect(0, 0, 9480, 6795),
    "OK": Rect(6495, 5700, 1335, 1095),
    "Avbryt": Rect(8130, 5685, 1335, 1110),
    "Bildfilens namn": Rect(2760, 360, 2040, 480),
    "Bilder": Rect(2760, 960, 2040, 5430),
    " Bild": Rect(3360, 240, 540, 240),
    "preview": Rect(4920, 360, 4455, 1335),
    " X-led": Rect(75, 840, 1260, 3165),
    " Y-led": Rect(1440, 840, 1215, 3135),
    "x": [Rect(75 + 120, 840 + 480 + 360 * i, 800, 255) for i in range(7)],
    "y": [Rect(1440 + 120, 840 + 480 + 360 * i, 820, height)
          for i, height in enumerate((240, 255, 240, 255, 240, 240, 270))],
}
# A point on the file list's first entry.
FIRST_FILE = Rect(SETUP["Bilder"].left + 400, SETUP["Bilder"].top + 150, 0, 0)


class Board(namedtuple("Board", "tray board tops size")):
    """A laid-out game: the column lefts of the tray and of the board, the row tops, and one
    piece's width and height, in twips. Piece k and the cover of cell k are the k-th in reading
    order."""

    @property
    def pieces(self):
        return [Rect(x, y, *self.size) for y in self.tops for x in self.tray]

    @property
    def covers(self):
        return [Rect(x, y, *self.size) for y in self.tops for x in self.board]


# The boards the game lays out for cols x rows on a picture of width x height pixels, read off
# the program itself (Image3 and Image2 of a game started offscreen). 270 x 480 is too tall for
# the room above the buttons, so it is shown 3582.5625 x 5790 twips; the others 4455 wide.
BOARDS = {
    (4, 3, 400, 300): Board((172, 1286, 2400, 3514), (4972, 6086, 7200, 8314), (70, 1570, 3070),
                            (1115.75, 1500)),
    (2, 2, 400, 300): Board((172, 2400), (4972, 7200), (70, 2320), (2231.5, 2250)),
    (3, 3, 270, 480): Board((609, 1803, 2997), (5409, 6603, 7797), (70, 2000, 3930),
                            (1196.8541, 1930)),
    (4, 3, 600, 450): Board((172, 1286, 2400, 3514), (4972, 6086, 7200, 8314), (70, 1195, 2320),
                            (1115.75, 1125)),
    (3, 3, 300, 300): Board((172, 1657, 3142), (4972, 6457, 7942), (70, 1570, 3070),
                            (1487.6666, 1500)),
}
