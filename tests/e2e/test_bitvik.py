"""Bitvik and Tralloma as a user meets them: real processes, real X input, pixels read back."""

import os
import unittest

from harness import (E2ETestCase, TWIPS_PER_PIXEL, board_layout, cell_colour, close_to,
                     shown_layout, wait_for, write_grid_bmp)

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
YELLOW = (255, 255, 128)


def centre(rect):
    left, top, width, height = rect
    return ((left + width / 2) / TWIPS_PER_PIXEL, (top + height / 2) / TWIPS_PER_PIXEL)


class GameWindow:
    """The running game's window and where its pieces, covers and picture lie, in twips."""

    def __init__(self, test, cols, rows, width_px, height_px):
        self.test = test
        self.display = test.display
        self.window = self.display.wait_window("Bitvik")
        wait_for(lambda: self.display.geometry(self.window)[2] == 634, what="the game window")
        self.left, self.top, width, height = self.display.geometry(self.window)
        test.assertEqual((width, height), (634, 455))
        self.pieces, self.covers, self.picture = board_layout(cols, rows, width_px, height_px)

    def point(self, rect):
        x, y = centre(rect)
        return self.left + x, self.top + y

    def click(self, rect):
        self.display.click(*self.point(rect))

    def button(self, left_twips):
        # The three buttons stand at 5930 twips, 900 high; the captions below the bitmaps.
        return self.left + (left_twips + 800) / TWIPS_PER_PIXEL, self.top + (5930 + 450) / TWIPS_PER_PIXEL

    def press(self, name):
        lefts = {"Blanda": 4200, "Se bild": 6000, "Sluta": 7785}
        self.display.click(*self.button(lefts[name]))

    def colour(self, shot, rect):
        return shot.at(*self.point(rect))

    def tray_colours(self, shot):
        return [self.colour(shot, r) for r in self.pieces]


class TestPlayEndToEnd(E2ETestCase):
    def start_game(self, cols, rows):
        """Bitvik on a 400 x 300 picture of coloured cells, with its settings written by hand."""
        write_grid_bmp(self.path("rutor.bmp"), 400, 300, cols, rows)
        with open(self.path("bitvik.ini"), "wb") as f:
            f.write(b'%d\r\n%d\r\n"rutor.bmp"\r\n' % (cols, rows))
        game = self.start("bitvik")
        return game, GameWindow(self, cols, rows, 400, 300)

    def save_with_tralloma(self, cols_index, rows_index, picture):
        tralloma = self.start("tralloma")
        window = self.display.wait_window("Hämta")
        left, top, _, _ = self.display.geometry(window)

        def at(twips_x, twips_y):
            return left + twips_x / TWIPS_PER_PIXEL, top + twips_y / TWIPS_PER_PIXEL

        # "x = i + 1" stands in the " X-led" frame at (75, 840), "y = i + 1" in " Y-led" at
        # (1440, 840); each is 120 in and 480 + 360 i down.
        self.display.click(*at(75 + 120 + 300, 840 + 480 + 360 * cols_index + 120))
        self.display.click(*at(1440 + 120 + 300, 840 + 480 + 360 * rows_index + 120))
        self.display.click(*at(2760 + 400, 960 + 150))  # the first file in the list
        self.keep_screenshot("tralloma.png")
        self.display.click(*at(6495 + 660, 5700 + 540))  # OK
        self.assertEqual(tralloma.wait(), 0)

    def test_saved_settings_then_a_whole_game(self):
        write_grid_bmp(self.path("rutor.bmp"), 400, 300, 4, 3)
        self.save_with_tralloma(3, 2, "rutor.bmp")
        with open(self.path("bitvik.ini"), "rb") as f:
            self.assertEqual(f.read(), b'4\r\n3\r\n"rutor.bmp"\r\n')

        game = self.start("bitvik")
        w = GameWindow(self, 4, 3, 400, 300)
        shot = self.display.screenshot()
        self.keep_screenshot("bitvik-start.png")
        # The tray in picture order, white covers, black backdrop all around.
        self.assertEqual([close_to(c, cell_colour(k)) for k, c in enumerate(w.tray_colours(shot))],
                         [True] * 12)
        self.assertTrue(all(w.colour(shot, r) == WHITE for r in w.covers))
        for x, y in ((5, 5), (1018, 5), (5, 760), (1018, 760)):
            self.assertEqual(shot.at(x, y), BLACK)
        self.assertEqual(shot.at(w.left + 100, w.top + 420), YELLOW)
        self.check_edges(w, shot)

        # A wrong cover changes nothing; the right one reveals the cell and empties the slot.
        w.click(w.pieces[5])
        w.click(w.covers[6])
        after_wrong = self.display.screenshot()
        self.assertEqual(w.colour(after_wrong, w.covers[6]), WHITE)
        self.assertTrue(close_to(w.colour(after_wrong, w.pieces[5]), cell_colour(5)))
        red_edge = (w.left + (w.pieces[5][0] + 50) / TWIPS_PER_PIXEL + 2,
                    w.top + (w.pieces[5][1] + 60 + 400) / TWIPS_PER_PIXEL)
        self.assertEqual(after_wrong.at(*red_edge), (255, 0, 0))
        w.click(w.covers[5])
        placed = self.display.screenshot()
        self.assertTrue(close_to(w.colour(placed, w.covers[5]), cell_colour(5)))
        self.assertEqual(w.colour(placed, w.pieces[5]), YELLOW)
        self.assertNotEqual(placed.at(*red_edge), (255, 0, 0))

        # "Se bild" puts the whole picture in front, "Göm bild" back behind the covers.
        w.press("Se bild")
        shown = self.display.screenshot()
        self.keep_screenshot("bitvik-picture.png")
        self.assertTrue(all(close_to(w.colour(shown, r), cell_colour(k)) for k, r in enumerate(w.covers)))
        w.press("Se bild")
        self.assertEqual(w.colour(self.display.screenshot(), w.covers[0]), WHITE)

        self.finish_game(game, w, placed={5})

    def check_edges(self, w, shot):
        """The sunken borders of the first piece and the first cover start on the very pixel their
        twips give, with the window's yellow just outside."""
        for rect in (w.pieces[0], w.covers[0]):
            x = w.left + round(rect[0] / TWIPS_PER_PIXEL)
            y = w.top + round(rect[1] / TWIPS_PER_PIXEL)
            self.assertEqual(shot.at(x, y), (128, 128, 128))
            self.assertEqual(shot.at(x + 1, y + 1), BLACK)
            self.assertEqual(shot.at(x - 1, y), YELLOW)
            self.assertEqual(shot.at(x, y - 1), YELLOW)
        last = w.covers[-1]
        right = w.left + round((last[0] + last[2]) / TWIPS_PER_PIXEL)
        bottom = w.top + round((last[1] + last[3]) / TWIPS_PER_PIXEL)
        self.assertEqual(shot.at(right - 1, bottom - 1), WHITE)
        self.assertEqual(shot.at(right, bottom), YELLOW)

    def finish_game(self, game, w, placed):
        for k in range(12):
            if k in placed:
                continue
            w.click(w.pieces[k])
            w.click(w.covers[k])
        shot = self.display.screenshot()
        self.keep_screenshot("bitvik-done.png")
        for k in range(12):
            self.assertTrue(close_to(w.colour(shot, w.covers[k]), cell_colour(k)), k)
            self.assertEqual(w.colour(shot, w.pieces[k]), YELLOW)
        w.press("Sluta")
        self.assertEqual(game.wait(timeout=5), 0)

    def test_upright_photo_is_played_to_the_end(self):
        # 270 x 480 pixels, 9:16: 4455 x 7200 twips by storlek, too tall for the 5790 above the
        # buttons, so shown 3582.5625 x 5790.
        write_grid_bmp(self.path("hög.bmp"), 270, 480, 3, 3)
        with open(self.path("bitvik.ini"), "wb") as f:
            f.write(b'3\r\n3\r\n"h\xf6g.bmp"\r\n')
        game = self.start("bitvik")
        w = GameWindow(self, 3, 3, 270, 480)
        w.pieces, w.covers, w.picture = shown_layout(3, 3, 3582.5625, 5790)
        shot = self.display.screenshot()
        self.keep_screenshot("bitvik-upright.png")
        self.assertEqual([close_to(c, cell_colour(k)) for k, c in enumerate(w.tray_colours(shot))],
                         [True] * 9)
        self.assertTrue(all(w.colour(shot, r) == WHITE for r in w.covers))
        # The last row ends above the buttons, with the window's yellow between.
        last = w.covers[-1]
        bottom = w.top + (last[1] + last[3]) / TWIPS_PER_PIXEL
        self.assertEqual(shot.at(w.left + (last[0] + 100) / TWIPS_PER_PIXEL, bottom + 1), YELLOW)
        for k in range(9):
            w.click(w.pieces[k])
            w.click(w.covers[k])
        done = self.display.screenshot()
        self.keep_screenshot("bitvik-upright-done.png")
        for k in range(9):
            self.assertTrue(close_to(w.colour(done, w.covers[k]), cell_colour(k)), k)
            self.assertEqual(w.colour(done, w.pieces[k]), YELLOW)
        w.press("Sluta")  # every piece placed: no question
        self.assertEqual(game.wait(timeout=5), 0)

    def test_shuffle_permutes_the_tray(self):
        game, w = self.start_game(4, 3)
        w.press("Blanda")
        shuffled = wait_for(lambda: self.changed_tray(w), what="a shuffled tray")
        kinds = [next(k for k in range(12) if close_to(c, cell_colour(k))) for c in shuffled]
        self.assertEqual(sorted(kinds), list(range(12)))
        self.assertNotEqual(kinds, list(range(12)))
        # Every piece placed by clicks, wherever the shuffle put it.
        for k in range(12):
            w.click(w.pieces[kinds.index(k)])
            w.click(w.covers[k])
        shot = self.display.screenshot()
        self.assertTrue(all(close_to(w.colour(shot, r), cell_colour(k)) for k, r in enumerate(w.covers)))
        w.press("Sluta")
        self.assertEqual(game.wait(timeout=5), 0)

    def changed_tray(self, w):
        colours = w.tray_colours(self.display.screenshot())
        in_order = all(close_to(c, cell_colour(k)) for k, c in enumerate(colours))
        return None if in_order else colours

    def test_quit_question(self):
        game, w = self.start_game(2, 2)
        w.press("Sluta")
        self.display.wait_window("Sluta")
        self.keep_screenshot("bitvik-question.png")
        self.display.key("Escape")  # Nej
        wait_for(lambda: not self.display.windows("Sluta"), what="the question to close")
        self.assertTrue(game.running())
        w.press("Sluta")
        self.display.wait_window("Sluta")
        self.display.key("Return")  # Ja, the default
        self.assertEqual(game.wait(timeout=5), 0)

    def test_backdrop_stays_behind(self):
        _, w = self.start_game(2, 2)
        self.display.click(20, 700)
        self.display.click(1000, 20)
        shot = self.display.screenshot()
        self.assertEqual(shot.at(w.left + 100, w.top + 420), YELLOW)
        self.assertEqual(w.colour(shot, w.covers[0]), WHITE)

    def test_missing_settings_file(self):
        write_grid_bmp(self.path("rutor.bmp"), 400, 300, 2, 2)
        before = self.files()
        game = self.start("bitvik")
        box = self.display.wait_window("Bitvik")
        _, _, width, _ = self.display.geometry(box)
        self.assertNotEqual(width, 634)  # the report, not the game window
        self.keep_screenshot("bitvik-missing-ini.png")
        self.display.key("Return")
        self.assertEqual(game.wait(timeout=5), 1)
        self.assertIn("bitvik.ini", game.stderr)
        self.assertIn("finns inte", game.stderr)
        self.assertEqual(self.files(), before)


if __name__ == "__main__":
    unittest.main()
