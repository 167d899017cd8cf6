"""Where things stand in our two windows, in twips: the design of each window, read from its table
in tests/support (game.design, setup.design), and the boards the game lays out for the pictures
these tests show. Twips become screen pixels here and nowhere else."""

import os
import re
from collections import namedtuple

TWIPS_PER_PIXEL = 15
DESIGNS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support")


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


# A control of a design table: its caption, its rectangle in the window's client area, and its
# accessible role (as Qt names it) and name; None for what it lacks.
Control = namedtuple("Control", "caption rect role name")


class Design(dict):
    """One window's design: its title, its controls by the names the code gives them (`controls`),
    and their rectangles by caption, or where a control has none, by its accessible name or its
    name in the code; "window" is the client area, "x" and "y" the option buttons in order."""

    def __init__(self, window):
        super().__init__()
        self.controls = {}
        with open(os.path.join(DESIGNS, window + ".design"), encoding="utf-8") as f:
            for line in f:
                if line.strip() and not line.startswith("#"):
                    name, container, caption, *rect, role, accessible = [
                        None if field == "-" else field.strip('"')
                        for field in re.findall(r'"[^"]*"|\S+', line)]
                    rect = Rect(*map(int, rect))
                    if container:  # measured from its container's top left corner
                        outer = self.controls[container].rect
                        rect = rect._replace(left=outer.left + rect.left, top=outer.top + rect.top)
                    self.controls[name] = Control(caption, rect, role, accessible)
        self.title = self.controls["Form1"].caption
        for name, control in self.controls.items():
            self["window" if name == "Form1" else control.caption or control.name or name] = \
                control.rect
        for axis, array in (("x", "Option2"), ("y", "Option1")):
            if f"{array}(0)" in self.controls:
                self[axis] = [self.controls[f"{array}({i})"].rect for i in range(7)]


GAME = Design("game")
SETUP = Design("setup")
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
