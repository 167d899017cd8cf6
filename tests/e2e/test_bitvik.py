"""Bitvik and Tralloma as a user meets them: real processes, real X input, pixels read back."""

import time
import unittest

from controls import FIRST_FILE, GAME, SETUP, TWIPS_PER_PIXEL
from harness import (BLACK, WHITE, YELLOW, E2ETestCase, cell_colour, close_to, wait_for,
                     write_grid_bmp)
# A point of the game window's own yellow, left of the buttons and below the board, in pixels.
GROUND = (100, 420)


def cells_shown(w, shot, rects):
    """Whether the k-th rectangle shows cell k's colour, for each k."""
    return [close_to(w.colour(shot, r), cell_colour(k)) for k, r in enumerate(rects)]


class TestPlayEndToEnd(E2ETestCase):
    def start_game(self, cols, rows):
        """Bitvik on a 400 x 300 picture of coloured cells, with its settings written by hand."""
        self.game_folder(cols, rows)
        return self.play((cols, rows, 400, 300))

    def save_with_tralloma(self, cols, rows):
        tralloma = self.start("tralloma")
        w = self.window(SETUP)
        w.click(SETUP["x"][cols - 1])
        w.click(SETUP["y"][rows - 1])
        w.click(FIRST_FILE)
        self.keep_screenshot("tralloma.png")
        w.click(SETUP["OK"])
        self.assertEqual(tralloma.wait(), 0)

    def assert_start(self, w, b, shot):
        """The tray in picture order and white covers."""
        self.assertEqual(cells_shown(w, shot, b.pieces), [True] * len(b.pieces))
        self.assertTrue(all(w.colour(shot, r) == WHITE for r in b.covers))

    def test_saved_settings_then_a_whole_game(self):
        write_grid_bmp(self.path("rutor.bmp"), 400, 300, 4, 3)
        self.save_with_tralloma(4, 3)
        self.assertEqual(self.read(), b'4\r\n3\r\n"rutor.bmp"\r\n')

        game, w, b = self.play((4, 3, 400, 300))
        shot = self.display.screenshot()
        self.keep_screenshot("bitvik-start.png")
        self.assert_start(w, b, shot)
        for x, y in ((5, 5), (1018, 5), (5, 760), (1018, 760)):  # the black backdrop all around
            self.assertEqual(shot.at(x, y), BLACK)
        self.assertEqual(shot.at(w.left + GROUND[0], w.top + GROUND[1]), YELLOW)
        self.check_edges(w, b, shot)

        # A wrong cover changes nothing; the right one reveals the cell and empties the slot.
        w.click(b.pieces[5])
        w.click(b.covers[6])
        after_wrong = self.display.screenshot()
        self.assertEqual(w.colour(after_wrong, b.covers[6]), WHITE)
        self.assertTrue(close_to(w.colour(after_wrong, b.pieces[5]), cell_colour(5)))
        red_edge = (w.left + (b.pieces[5].left + 50) / TWIPS_PER_PIXEL + 2,
                    w.top + (b.pieces[5].top + 60 + 400) / TWIPS_PER_PIXEL)
        self.assertEqual(after_wrong.at(*red_edge), (255, 0, 0))
        w.click(b.covers[5])
        placed = self.display.screenshot()
        self.assertTrue(close_to(w.colour(placed, b.covers[5]), cell_colour(5)))
        self.assertEqual(w.colour(placed, b.pieces[5]), YELLOW)
        self.assertNotEqual(placed.at(*red_edge), (255, 0, 0))

        # "Se bild" puts the whole picture in front, "Göm bild" back behind the covers.
        w.click(GAME["Se bild"])
        shown = self.display.screenshot()
        self.keep_screenshot("bitvik-picture.png")
        self.assertTrue(all(cells_shown(w, shown, b.covers)))
        w.click(GAME["Se bild"])
        self.assertEqual(w.colour(self.display.screenshot(), b.covers[0]), WHITE)

        self.finish_game(game, w, b, placed={5}, shot_name="bitvik-done.png")

    def check_edges(self, w, b, shot):
        """The sunken borders of the first piece and the first cover start on the very pixel their
        twips give, with the window's yellow just outside."""
        for rect in (b.pieces[0], b.covers[0]):
            x, y, _, _ = w.rect(rect)
            self.assertEqual(shot.at(x, y), (128, 128, 128))
            self.assertEqual(shot.at(x + 1, y + 1), BLACK)
            self.assertEqual(shot.at(x - 1, y), YELLOW)
            self.assertEqual(shot.at(x, y - 1), YELLOW)
        x, y, width, height = w.rect(b.covers[-1])
        self.assertEqual(shot.at(x + width - 1, y + height - 1), WHITE)
        self.assertEqual(shot.at(x + width, y + height), YELLOW)

    def finish_game(self, game, w, b, placed=(), shot_name=None, tray=None):
        """Every piece not yet placed put on its cell, from where the tray (a list of piece
        numbers) holds it, then "Sluta" ends the game unasked."""
        tray = tray or list(range(len(b.pieces)))
        for k in range(len(b.pieces)):
            if k not in placed:
                w.click(b.pieces[tray.index(k)])
                w.click(b.covers[k])
        shot = self.display.screenshot()
        if shot_name:
            self.keep_screenshot(shot_name)
        self.assertEqual(cells_shown(w, shot, b.covers), [True] * len(b.covers))
        self.assertEqual([w.colour(shot, r) for r in b.pieces], [YELLOW] * len(b.pieces))
        w.click(GAME["Sluta"])
        self.assertEqual(game.wait(timeout=5), 0)

    def test_upright_photo_is_played_to_the_end(self):
        self.game_folder(3, 3, (270, 480), b"h\xf6g.bmp")
        game, w, b = self.play((3, 3, 270, 480))
        shot = self.display.screenshot()
        self.keep_screenshot("bitvik-upright.png")
        self.assert_start(w, b, shot)
        # The last row ends above the buttons, with the window's yellow between.
        x, y, _, height = w.rect(b.covers[-1])
        self.assertEqual(shot.at(x + 100 / TWIPS_PER_PIXEL, y + height), YELLOW)
        self.finish_game(game, w, b, shot_name="bitvik-upright-done.png")

    def test_shuffle_permutes_the_tray(self):
        game, w, b = self.start_game(4, 3)
        w.click(GAME["Blanda"])
        shuffled = wait_for(lambda: self.changed_tray(w, b), what="a shuffled tray")
        kinds = [next(k for k in range(12) if close_to(c, cell_colour(k))) for c in shuffled]
        self.assertEqual(sorted(kinds), list(range(12)))
        self.assertNotEqual(kinds, list(range(12)))
        self.finish_game(game, w, b, tray=kinds)

    def changed_tray(self, w, b):
        colours = [w.colour(self.display.screenshot(), r) for r in b.pieces]
        in_order = all(close_to(c, cell_colour(k)) for k, c in enumerate(colours))
        return None if in_order else colours

    def test_quit_question(self):
        game, w, _ = self.start_game(2, 2)
        w.click(GAME["Sluta"])
        self.display.wait_window("Sluta")
        self.keep_screenshot("bitvik-question.png")
        # Only its buttons answer: Escape leaves it open.
        self.display.key("Escape")
        time.sleep(0.5)
        self.assertTrue(self.display.windows("Sluta"))
        self.display.key("alt+n")  # Nej
        wait_for(lambda: not self.display.windows("Sluta"), what="the question to close")
        self.assertTrue(game.running())
        w.click(GAME["Sluta"])
        self.display.wait_window("Sluta")
        self.display.key("Return")  # Ja, the default
        self.assertEqual(game.wait(timeout=5), 0)

    def test_backdrop_stays_behind(self):
        _, w, b = self.start_game(2, 2)
        self.display.click(20, 700)
        self.display.click(1000, 20)
        shot = self.display.screenshot()
        self.assertEqual(shot.at(w.left + GROUND[0], w.top + GROUND[1]), YELLOW)
        self.assertEqual(w.colour(shot, b.covers[0]), WHITE)


if __name__ == "__main__":
    unittest.main()
