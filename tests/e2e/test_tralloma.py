"""Tralloma as a user meets it, and bad input through both real programs."""

import os
import time
import unittest

from harness import E2ETestCase, TWIPS_PER_PIXEL, wait_for, write_grid_bmp


class SetupWindow:
    def __init__(self, test):
        self.display = test.display
        window = self.display.wait_window("Hämta")
        self.left, self.top, width, height = self.display.geometry(window)
        test.assertEqual((width, height), (632, 453))

    def at(self, x, y):
        return self.left + x / TWIPS_PER_PIXEL, self.top + y / TWIPS_PER_PIXEL

    def columns(self, n):
        self.display.click(*self.at(75 + 120 + 300, 840 + 480 + 360 * (n - 1) + 120))

    def rows(self, n):
        self.display.click(*self.at(1440 + 120 + 300, 840 + 480 + 360 * (n - 1) + 120))

    def first_file(self, double=False):
        self.display.click(*self.at(2760 + 400, 960 + 150), double=double)

    def ok(self):
        self.display.click(*self.at(6495 + 660, 5700 + 540))

    def cancel(self):
        self.display.click(*self.at(8130 + 660, 5685 + 540))


class TestTralloma(E2ETestCase):
    def read(self, name="bitvik.ini"):
        with open(self.path(name), "rb") as f:
            return f.read()

    def test_choices_are_saved(self):
        write_grid_bmp(self.path("b.bmp"), 200, 150, 1, 1)
        write_grid_bmp(self.path("a.bmp"), 200, 150, 1, 1)
        tralloma = self.start("tralloma")
        w = SetupWindow(self)
        w.rows(1)
        w.columns(7)
        w.first_file()
        w.display.key("Down")  # b.bmp
        w.ok()
        self.assertEqual(tralloma.wait(), 0)
        self.assertEqual(self.read(), b'7\r\n1\r\n"b.bmp"\r\n')

    def test_double_click_saves(self):
        write_grid_bmp(self.path("sol.bmp"), 200, 150, 1, 1)
        with open(self.path("bitvik.ini"), "wb") as f:
            f.write(b'1\r\n1\r\n"gammal.bmp"\r\n')
        tralloma = self.start("tralloma")
        w = SetupWindow(self)
        w.columns(2)
        w.first_file(double=True)
        self.assertEqual(tralloma.wait(), 0)
        self.assertEqual(self.read(), b'2\r\n3\r\n"sol.bmp"\r\n')
        self.assertEqual(self.files(), ["bitvik.ini", "sol.bmp"])

    def test_cancel_writes_nothing(self):
        write_grid_bmp(self.path("sol.bmp"), 200, 150, 1, 1)
        tralloma = self.start("tralloma")
        w = SetupWindow(self)
        w.columns(5)
        w.cancel()
        self.assertEqual(tralloma.wait(), 0)
        self.assertEqual(self.files(), ["sol.bmp"])

    def test_enter_presses_only_the_focused_button(self):
        for key in ("Return", "KP_Enter"):
            with self.subTest(key):
                write_grid_bmp(self.path("sol.bmp"), 200, 150, 1, 1)
                tralloma = self.start("tralloma")
                w = SetupWindow(self)
                w.display.key(key)  # on the file list: nothing
                time.sleep(0.5)
                self.assertTrue(tralloma.running())
                self.assertEqual(self.files(), ["sol.bmp"])
                w.display.key("Tab", "Tab", key)  # past the name box to "OK"
                self.assertEqual(tralloma.wait(), 0)
                self.assertEqual(self.read(), b'3\r\n3\r\n"sol.bmp"\r\n')
                os.remove(self.path("bitvik.ini"))

    def test_no_pictures_in_the_folder(self):
        with open(self.path("läsmig.txt"), "w") as f:
            f.write("inga bilder här\n")
        tralloma = self.start("tralloma")
        self.display.wait_window("Tralloma")
        self.keep_screenshot("tralloma-no-pictures.png")
        self.display.key("Return")
        self.assertEqual(tralloma.wait(), 1)
        self.assertIn("inga bilder", tralloma.stderr)
        self.assertIn(os.path.basename(self.folder), tralloma.stderr)
        self.assertEqual(self.files(), ["läsmig.txt"])

    def test_settings_file_that_cannot_be_replaced(self):
        write_grid_bmp(self.path("sol.bmp"), 200, 150, 1, 1)
        os.makedirs(self.path("bitvik.ini/inuti"))
        tralloma = self.start("tralloma")
        SetupWindow(self).ok()
        self.display.wait_window("Tralloma")
        self.display.key("Return")
        self.assertEqual(tralloma.wait(), 1)
        self.assertIn("kan inte sparas", tralloma.stderr)
        self.assertTrue(os.path.isdir(self.path("bitvik.ini/inuti")))
        self.assertEqual(self.files(), ["bitvik.ini", "sol.bmp"])

    def test_bad_input_to_the_game(self):
        cases = [
            (b'0\r\n3\r\n"sol.bmp"\r\n', b"", "minst 1"),
            (b'4\r\n3\r\n"trasig.jpg"\r\n', b"\xff\xd8\xff\xe0 inte mer", "trasig.jpg"),
            (b'4\r\n3\r\n"sol.bmp', b"", "citattecken"),
        ]
        write_grid_bmp(self.path("sol.bmp"), 200, 150, 1, 1)
        for settings, picture, named in cases:
            with self.subTest(named=named):
                with open(self.path("bitvik.ini"), "wb") as f:
                    f.write(settings)
                if picture:
                    with open(self.path("trasig.jpg"), "wb") as f:
                        f.write(picture)
                game = self.start("bitvik")
                self.display.wait_window("Bitvik")
                wait_for(lambda: self.display.geometry(self.display.windows("Bitvik")[0])[2] != 634,
                         timeout=2, what="the error report")
                self.display.key("Return")
                self.assertEqual(game.wait(), 1)
                self.assertIn(named, game.stderr)
                self.assertEqual(self.read(), settings)


if __name__ == "__main__":
    unittest.main()
