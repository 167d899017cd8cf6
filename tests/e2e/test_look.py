"""How the windows look on a real X server: every caption whole inside its control, and at a
device pixel ratio of 2 windows twice as large with lines and pictures on whole device pixels."""

import os
import shutil
import unittest

from controls import GAME, SETUP
from harness import BLACK, WHITE, YELLOW, E2ETestCase, cell_colour, wait_for, write_grid_bmp

DEMO = os.path.join(os.path.dirname(__file__), "..", "..", "demo")
SHADOW = (128, 128, 128)


def dark(pixel):
    return max(pixel) < 110


def caption_pixels(shot, rect, rows=None, columns=None):
    """Dark (text) pixels in a part of rect (left, top, width, height), by relative rows and
    columns: ranges, or all of it."""
    left, top, width, height = rect
    rows = rows or range(height)
    columns = columns or range(width)
    return [(x, y) for y in rows for x in columns if dark(shot.at(left + x, top + y))]


class TestCaptionsWhole(E2ETestCase):
    """A caption cut off by its control would reach the control's inner edge."""

    def demo_folder(self, *names):
        for name in ("sol.bmp", "bitvik.ini", *names):
            shutil.copy(os.path.join(DEMO, name), self.path(name))

    def assert_whole(self, what, shot, rect, rows, inner, edge=2):
        _, _, width, _ = rect
        text = caption_pixels(shot, rect, rows, range(inner, width - inner))
        self.assertTrue(text, f"{what}: no caption drawn")
        at_edges = caption_pixels(shot, rect, rows, [*range(inner, inner + edge),
                                                     *range(width - inner - edge, width - inner)])
        self.assertEqual(at_edges, [], f"{what}: caption reaches the edge")

    def test_game_buttons(self):
        self.demo_folder()
        game, w, b = self.play((4, 3, 600, 450))
        # A few pieces placed and one chosen, as in the middle of a game.
        for k in (0, 1, 5, 6):
            w.click(b.pieces[k])
            w.click(b.covers[k])
        w.click(b.pieces[2])
        shot = self.display.screenshot()
        self.keep_screenshot("bitvik-window.png", w.id)
        for caption in ("Blanda", "Se bild", "Sluta"):
            rect = w.rect(GAME[caption])
            # The caption stands in the lower half, inside the three-pixel bevel.
            self.assert_whole(caption, shot, rect, range(rect[3] // 2, rect[3] - 3), inner=3)
        w.click(GAME["Se bild"])
        rect = w.rect(GAME["Se bild"])
        lower = range(rect[3] // 2, rect[3] - 3)
        wait_for(lambda: caption_pixels(self.display.screenshot(), rect, lower) !=
                 caption_pixels(shot, rect, lower), what="the caption Göm bild")
        self.assert_whole("Göm bild", self.display.screenshot(), rect, lower, inner=3)
        game.kill()

    def test_setup_window(self):
        self.demo_folder("fjäll.jpg")
        self.start("tralloma")
        w = self.window(SETUP)
        shot = self.display.screenshot()
        self.keep_screenshot("tralloma-window.png", w.id)
        for caption in ("OK", "Avbryt"):
            rect = w.rect(SETUP[caption])
            self.assert_whole(caption, shot, rect, range(4, rect[3] - 4), inner=3)
        for frame, options in ((" X-led", SETUP["x"]), (" Y-led", SETUP["y"])):
            # Above the frame's top line, which runs through the caption's middle.
            self.assert_whole(frame, shot, w.rect(SETUP[frame]), range(0, 6), inner=1)
            for i, option in enumerate(options):
                rect = w.rect(option)
                self.assert_whole(f"{frame} option {i + 1}", shot, rect, range(rect[3]), inner=0)
        self.assert_whole(" Bild", shot, w.rect(SETUP[" Bild"]), range(16), inner=0, edge=1)


class TestTwiceAsLarge(E2ETestCase):
    """QT_SCALE_FACTOR=2 on a screen large enough for it."""

    screen = (2560, 1600)
    scale = 2

    def test_game_window(self):
        self.game_folder(4, 3)
        _, w, b = self.play((4, 3, 400, 300))
        shot = self.display.screenshot()
        self.keep_screenshot("bitvik-2x.png", w.id)
        # The same twips as at 1x, each line of a sunken border two device pixels wide, and the
        # cell's own colour right inside it.
        for inside, rect in ((cell_colour(0), b.pieces[0]), (cell_colour(5), b.pieces[5]),
                             (WHITE, b.covers[0]), (WHITE, b.covers[7])):
            x, y, width, height = w.rect(rect)
            across = [shot.at(x + i, y + height // 2) for i in range(-1, 12)]
            down = [shot.at(x + width // 2, y + i) for i in range(-1, 12)]
            for line in (across, down):
                self.assertEqual(line[1:5], [SHADOW, SHADOW, BLACK, BLACK])
                self.assertEqual(line[5:], [inside] * 8)
        # The stop sign's light grey ground: its bitmap drawn at twice its 31 x 30 pixels.
        x, y, width, height = w.rect(GAME["Sluta"])
        window_left, _, window_width, _ = w.rect(GAME["window"])
        right = min(x + width, window_left + window_width)
        grey = {(i, j) for j in range(y, y + height) for i in range(x, right)
                if shot.at(i, j) == (192, 192, 192)}
        # Rows and columns of the ground hold many such pixels; the caption's smoothed edges few.
        rows = [y for y in {y for _, y in grey} if sum(1 for p in grey if p[1] == y) >= 8]
        columns = [x for x in {x for x, _ in grey} if sum(1 for p in grey if p[0] == x) >= 8]
        self.assertEqual((max(columns) - min(columns) + 1, max(rows) - min(rows) + 1), (62, 60))

    def test_setup_window(self):
        write_grid_bmp(self.path("rutor.bmp"), 400, 300, 4, 3)
        self.start("tralloma")
        w = self.window(SETUP)
        shot = self.display.screenshot()
        self.keep_screenshot("tralloma-2x.png", w.id)
        # The name box and the file list: black lines two device pixels wide on both sides.
        for name in ("Bildfilens namn", "Bilder"):
            x, y, width, height = w.rect(SETUP[name])
            row = y + height // 2
            self.assertEqual([shot.at(x + i, row) for i in range(-1, 3)],
                             [YELLOW, BLACK, BLACK, WHITE])
            self.assertEqual([shot.at(x + width - 3 + i, row) for i in range(4)],
                             [WHITE, BLACK, BLACK, YELLOW])
        # The preview, 4455 twips wide at 2x, shows the picture's cells side by side.
        x, y, _, _ = w.rect(SETUP["Image1"])
        self.assertEqual(shot.at(x + 10, y + 10), cell_colour(0))
        self.assertEqual(shot.at(x + 580, y + 10), cell_colour(3))


if __name__ == "__main__":
    unittest.main()
