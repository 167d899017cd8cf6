"""How the windows look on a real X server: every caption whole inside its control, and at a
device pixel ratio of 2 windows twice as large with lines and pictures on whole device pixels."""

import os
import shutil
import unittest

from harness import (E2ETestCase, TWIPS_PER_PIXEL, board_layout, cell_colour, wait_for,
                     write_grid_bmp)

DEMO = os.path.join(os.path.dirname(__file__), "..", "..", "demo")
YELLOW = (255, 255, 128)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
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


def pixel_rect(window_left, window_top, twips, scale=1):
    left, top, width, height = twips
    unit = TWIPS_PER_PIXEL / scale
    x0, y0 = round(left / unit), round(top / unit)
    return (window_left + x0, window_top + y0,
            round((left + width) / unit) - x0, round((top + height) / unit) - y0)


class TestCaptionsWhole(E2ETestCase):
    """A caption cut off by its control would reach the control's inner edge."""

    def demo_folder(self):
        for name in ("sol.bmp", "bitvik.ini"):
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
        game = self.start("bitvik")
        window = self.display.wait_window("Bitvik")
        wait_for(lambda: self.display.geometry(window)[2] == 634, what="the game window")
        left, top, _, _ = self.display.geometry(window)
        buttons = {"Blanda": (4200, 5930, 1800, 900), "Se bild": (6000, 5930, 1800, 900),
                   "Sluta": (7785, 5930, 1740, 900)}
        # A few pieces placed and one chosen, as in the middle of a game.
        pieces, covers, _ = board_layout(4, 3, 600, 450)
        for k in (0, 1, 5, 6):
            self.display.click(*self.centre(left, top, pieces[k]))
            self.display.click(*self.centre(left, top, covers[k]))
        self.display.click(*self.centre(left, top, pieces[2]))
        shot = self.display.screenshot()
        self.keep_window_screenshot("bitvik-window.png", window)
        for caption, twips in buttons.items():
            rect = pixel_rect(left, top, twips)
            # The caption stands in the lower half, inside the three-pixel bevel.
            self.assert_whole(caption, shot, rect, range(rect[3] // 2, rect[3] - 3), inner=3)
        self.display.click(*self.centre(left, top, buttons["Se bild"]))
        rect = pixel_rect(left, top, buttons["Se bild"])
        wait_for(lambda: caption_pixels(self.display.screenshot(), rect,
                                        range(rect[3] // 2, rect[3] - 3)) !=
                 caption_pixels(shot, rect, range(rect[3] // 2, rect[3] - 3)),
                 what="the caption Göm bild")
        self.assert_whole("Göm bild", self.display.screenshot(), rect,
                          range(rect[3] // 2, rect[3] - 3), inner=3)
        game.kill()

    def test_setup_window(self):
        self.demo_folder()
        shutil.copy(os.path.join(DEMO, "fjäll.jpg"), self.path("fjäll.jpg"))
        self.start("tralloma")
        window = self.display.wait_window("Hämta")
        left, top, _, _ = self.display.geometry(window)
        shot = self.display.screenshot()
        self.keep_window_screenshot("tralloma-window.png", window)
        for caption, twips in (("OK", (6495, 5700, 1335, 1095)),
                               ("Avbryt", (8130, 5685, 1335, 1110))):
            rect = pixel_rect(left, top, twips)
            self.assert_whole(caption, shot, rect, range(4, rect[3] - 4), inner=3)
        for frame, twips in ((" X-led", (75, 840, 1260, 3165)), (" Y-led", (1440, 840, 1215, 3135))):
            rect = pixel_rect(left, top, twips)
            # Above the frame's top line, which runs through the caption's middle.
            self.assert_whole(frame, shot, rect, range(0, 6), inner=1)
            for i in range(7):
                option = pixel_rect(left, top, (twips[0] + 120, twips[1] + 480 + 360 * i, 800, 240))
                self.assert_whole(f"{frame} option {i + 1}", shot, option, range(option[3]),
                                  inner=0)
        self.assert_whole(" Bild", shot, pixel_rect(left, top, (3360, 240, 540, 240)),
                          range(16), inner=0, edge=1)

    @staticmethod
    def centre(left, top, twips):
        x, y, w, h = twips
        return left + (x + w / 2) / TWIPS_PER_PIXEL, top + (y + h / 2) / TWIPS_PER_PIXEL


class TestTwiceAsLarge(E2ETestCase):
    """QT_SCALE_FACTOR=2 on a screen large enough for it."""

    screen = (2560, 1600)
    scale = 2

    def test_game_window(self):
        write_grid_bmp(self.path("rutor.bmp"), 400, 300, 4, 3)
        with open(self.path("bitvik.ini"), "wb") as f:
            f.write(b'4\r\n3\r\n"rutor.bmp"\r\n')
        self.start("bitvik")
        window = self.display.wait_window("Bitvik")
        wait_for(lambda: self.display.geometry(window)[2] == 1268, what="the game window at 2x")
        left, top, width, height = self.display.geometry(window)
        self.assertEqual((width, height), (1268, 910))
        shot = self.display.screenshot()
        self.keep_window_screenshot("bitvik-2x.png", window)
        pieces, covers, _ = board_layout(4, 3, 400, 300)
        # The same twips as at 1x, each line of a sunken border two device pixels wide, and the
        # cell's own colour right inside it.
        for k, rect in ((0, pieces[0]), (5, pieces[5]), (None, covers[0]), (None, covers[7])):
            x, y, w, h = pixel_rect(left, top, rect, scale=2)
            inside = WHITE if k is None else cell_colour(k)
            across = [shot.at(x + i, y + h // 2) for i in range(-1, 12)]
            down = [shot.at(x + w // 2, y + i) for i in range(-1, 12)]
            for line in (across, down):
                self.assertEqual(line[1:5], [SHADOW, SHADOW, BLACK, BLACK])
                self.assertEqual(line[5:], [inside] * 8)
        # The stop sign's light grey ground: its bitmap drawn at twice its 31 x 30 pixels.
        sluta = pixel_rect(left, top, (7785, 5930, 1740, 900), scale=2)
        grey = {(x, y) for y in range(sluta[1], sluta[1] + sluta[3])
                for x in range(sluta[0], min(sluta[0] + sluta[2], left + width))
                if shot.at(x, y) == (192, 192, 192)}
        # Rows and columns of the ground hold many such pixels; the caption's smoothed edges few.
        rows = [y for y in {y for _, y in grey} if sum(1 for p in grey if p[1] == y) >= 8]
        columns = [x for x in {x for x, _ in grey} if sum(1 for p in grey if p[0] == x) >= 8]
        self.assertEqual((max(columns) - min(columns) + 1, max(rows) - min(rows) + 1), (62, 60))

    def test_setup_window(self):
        write_grid_bmp(self.path("rutor.bmp"), 400, 300, 4, 3)
        self.start("tralloma")
        window = self.display.wait_window("Hämta")
        wait_for(lambda: self.display.geometry(window)[2] == 1264, what="the setup window at 2x")
        left, top, width, height = self.display.geometry(window)
        self.assertEqual((width, height), (1264, 906))
        shot = self.display.screenshot()
        self.keep_window_screenshot("tralloma-2x.png", window)
        # The name box and the file list: black lines two device pixels wide on both sides.
        for twips in ((2760, 360, 2040, 480), (2760, 960, 2040, 5430)):
            x, y, w, h = pixel_rect(left, top, twips, scale=2)
            row = y + h // 2
            self.assertEqual([shot.at(x + i, row) for i in range(-1, 3)],
                             [YELLOW, BLACK, BLACK, WHITE])
            self.assertEqual([shot.at(x + w - 3 + i, row) for i in range(4)],
                             [WHITE, BLACK, BLACK, YELLOW])
        # The preview, 4455 twips wide at 2x, shows the picture's cells side by side.
        x, y, _, _ = pixel_rect(left, top, (4920, 360, 4455, 4500), scale=2)
        self.assertEqual(shot.at(x + 10, y + 10), cell_colour(0))
        self.assertEqual(shot.at(x + 580, y + 10), cell_colour(3))


if __name__ == "__main__":
    unittest.main()
