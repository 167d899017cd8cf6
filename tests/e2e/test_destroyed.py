"""A window of ours destroyed by another client ends as if the window system had closed it."""

import os
import unittest

from controls import GAME, SETUP
from harness import E2ETestCase, wait_for


class TestDestroyedWindows(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.game_folder(2, 2)

    def destroy(self, title, design=None):
        """The window once it is up, at its design size when it has one."""
        window = self.window(design).id if design else self.display.wait_window(title)
        self.display.destroy(window)

    def test_main_windows_and_error_reports(self):
        cases = [
            # program, settings kept, window title, its design when it has one, status
            ("bitvik", True, "Bitvik", GAME, 0),
            ("bitvik", False, "Bitvik", None, 1),  # the report that bitvik.ini is missing
            ("tralloma", False, "Hämta", SETUP, 0),
        ]
        for program, settings, title, design, status in cases:
            with self.subTest(program=program, title=title, status=status):
                if not settings and os.path.exists(self.path("bitvik.ini")):
                    os.remove(self.path("bitvik.ini"))
                before = self.files()
                started = self.start(program)
                try:
                    self.destroy(title, design)
                    self.assertEqual(started.wait(timeout=5), status)
                finally:
                    started.kill()  # a failed case must not leave its window to the next
                self.assertEqual(self.files(), before)

    def test_quit_question_answers_no(self):
        game = self.start("bitvik")
        w = self.window(GAME)
        w.click(GAME["Sluta"])
        self.destroy("Sluta")
        wait_for(lambda: not self.display.windows("Sluta"), what="the question to go")
        self.assertTrue(game.running())
        self.display.destroy(w.id)
        self.assertEqual(game.wait(timeout=5), 0)


if __name__ == "__main__":
    unittest.main()
