"""A window of ours destroyed by another client ends as if the window system had closed it."""

import os
import unittest

from harness import E2ETestCase, wait_for, write_grid_bmp

SETTINGS = b'2\r\n2\r\n"rutor.bmp"\r\n'


class TestDestroyedWindows(E2ETestCase):
    def setUp(self):
        super().setUp()
        write_grid_bmp(self.path("rutor.bmp"), 400, 300, 2, 2)

    def destroy(self, title, width=None):
        window = self.display.wait_window(title)
        if width is not None:
            wait_for(lambda: self.display.geometry(window)[2] == width, what=f"{title!r} at {width}")
        self.display.destroy(window)

    def test_main_windows_and_error_reports(self):
        cases = [
            # program, settings, window title, its width when known, status
            ("bitvik", SETTINGS, "Bitvik", 634, 0),
            ("bitvik", None, "Bitvik", None, 1),  # the report that bitvik.ini is missing
            ("tralloma", None, "Hämta", None, 0),
        ]
        for program, settings, title, width, status in cases:
            with self.subTest(program=program, title=title, status=status):
                if settings:
                    with open(self.path("bitvik.ini"), "wb") as f:
                        f.write(settings)
                elif os.path.exists(self.path("bitvik.ini")):
                    os.remove(self.path("bitvik.ini"))
                before = self.files()
                started = self.start(program)
                try:
                    self.destroy(title, width)
                    self.assertEqual(started.wait(timeout=5), status)
                finally:
                    started.kill()  # a failed case must not leave its window to the next
                self.assertEqual(self.files(), before)

    def test_quit_question_answers_no(self):
        with open(self.path("bitvik.ini"), "wb") as f:
            f.write(SETTINGS)
        game = self.start("bitvik")
        window = self.display.wait_window("Bitvik")
        wait_for(lambda: self.display.geometry(window)[2] == 634, what="the game window")
        left, top, _, _ = self.display.geometry(window)
        self.display.click(left + (7785 + 800) / 15, top + (5930 + 450) / 15)  # Sluta
        self.destroy("Sluta")
        wait_for(lambda: not self.display.windows("Sluta"), what="the question to go")
        self.assertTrue(game.running())
        self.display.destroy(window)
        self.assertEqual(game.wait(timeout=5), 0)


if __name__ == "__main__":
    unittest.main()
