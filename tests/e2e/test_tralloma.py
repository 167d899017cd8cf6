"""Tralloma as a user meets it, and bad input through both real programs."""

import os
import subprocess
import time
import unittest

from controls import FIRST_FILE, GAME, SETUP
from harness import E2ETestCase, wait_for, write_grid_bmp


class TestTralloma(E2ETestCase):
    def tralloma(self, *pictures):
        """Tralloma's window in a folder of these small pictures, once it is up."""
        for name in pictures:
            write_grid_bmp(self.path(name), 200, 150, 1, 1)
        return self.start("tralloma"), self.window(SETUP)

    def test_choices_are_saved(self):
        tralloma, w = self.tralloma("b.bmp", "a.bmp")
        w.click(SETUP["y"][0])
        w.click(SETUP["x"][6])
        w.click(FIRST_FILE)
        w.display.key("Down")  # b.bmp
        w.click(SETUP["OK"])
        self.assertEqual(tralloma.wait(), 0)
        self.assertEqual(self.read(), b'7\r\n1\r\n"b.bmp"\r\n')

    def test_quick_presses_through_photos_end_on_the_last(self):
        # Camera-sized photos in turn, so that the last entry's picture differs from the one
        # before it: warm ones at even places, cool ones at odd places.
        for gradient, name in (("red-yellow", "varm.jpg"), ("blue-cyan", "kall.jpg")):
            subprocess.run(["convert", "-size", "6000x4000", "gradient:" + gradient, "-quality",
                            "90", self.path(name)], check=True)
        for i in range(40):
            os.link(self.path("kall.jpg" if i % 2 else "varm.jpg"), self.path(f"foto-{i:02}.jpg"))
        os.remove(self.path("varm.jpg"))
        os.remove(self.path("kall.jpg"))
        tralloma, w = self.tralloma()
        w.click(FIRST_FILE)
        w.display.key(*["Down"] * 39)
        shot = w.display.screenshot()
        photo = SETUP["Image1"]._replace(height=2970)  # 6000 x 4000 pixels shown 4455 wide
        middle = w.colour(shot, photo)
        self.assertGreater(middle[2], middle[0] + 100, middle)  # cool: the last photo's
        w.click(SETUP["OK"])
        self.assertEqual(tralloma.wait(), 0)
        self.assertEqual(self.read(), b'3\r\n3\r\n"foto-39.jpg"\r\n')

    def test_double_click_saves(self):
        self.write("bitvik.ini", b'1\r\n1\r\n"gammal.bmp"\r\n')
        tralloma, w = self.tralloma("sol.bmp")
        w.click(SETUP["x"][1])
        w.click(FIRST_FILE, double=True)
        self.assertEqual(tralloma.wait(), 0)
        self.assertEqual(self.read(), b'2\r\n3\r\n"sol.bmp"\r\n')
        self.assertEqual(self.files(), ["bitvik.ini", "sol.bmp"])

    def test_cancel_writes_nothing(self):
        tralloma, w = self.tralloma("sol.bmp")
        w.click(SETUP["x"][4])
        w.click(SETUP["Avbryt"])
        self.assertEqual(tralloma.wait(), 0)
        self.assertEqual(self.files(), ["sol.bmp"])

    def test_enter_presses_only_the_focused_button(self):
        for key in ("Return", "KP_Enter"):
            with self.subTest(key):
                tralloma, w = self.tralloma("sol.bmp")
                w.display.key(key)  # on the file list: nothing
                time.sleep(0.5)
                self.assertTrue(tralloma.running())
                self.assertEqual(self.files(), ["sol.bmp"])
                w.display.key("Tab", "Tab", key)  # past the name box to "OK"
                self.assertEqual(tralloma.wait(), 0)
                self.assertEqual(self.read(), b'3\r\n3\r\n"sol.bmp"\r\n')
                os.remove(self.path("bitvik.ini"))

    def test_no_pictures_in_the_folder(self):
        self.write("läsmig.txt", b"inga bilder h\xc3\xa4r\n")
        tralloma = self.start("tralloma")
        self.display.wait_window("Tralloma")
        self.keep_screenshot("tralloma-no-pictures.png")
        self.answer_report(tralloma, "Tralloma", 1, "inga bilder", os.path.basename(self.folder))
        self.assertEqual(self.files(), ["läsmig.txt"])

    def test_settings_file_that_cannot_be_replaced(self):
        os.makedirs(self.path("bitvik.ini/inuti"))
        tralloma, w = self.tralloma("sol.bmp")
        w.click(SETUP["OK"])
        self.answer_report(tralloma, "Tralloma", 1, "kan inte sparas")
        self.assertTrue(os.path.isdir(self.path("bitvik.ini/inuti")))
        self.assertEqual(self.files(), ["bitvik.ini", "sol.bmp"])

    def test_bad_input_to_the_game(self):
        cases = [
            # settings (None: no file), the picture trasig.jpg, what the report names
            (None, b"", ("bitvik.ini", "finns inte")),
            (b'0\r\n3\r\n"sol.bmp"\r\n', b"", ("minst 1",)),
            (b'4\r\n3\r\n"trasig.jpg"\r\n', b"\xff\xd8\xff\xe0 inte mer", ("trasig.jpg",)),
            (b'4\r\n3\r\n"sol.bmp', b"", ("citattecken",)),
        ]
        write_grid_bmp(self.path("sol.bmp"), 200, 150, 1, 1)
        for settings, picture, named in cases:
            with self.subTest(named=named):
                if settings is not None:
                    self.write("bitvik.ini", settings)
                if picture:
                    self.write("trasig.jpg", picture)
                before = {name: self.read(name) for name in self.files()}
                game = self.start("bitvik")
                self.display.wait_window("Bitvik")
                # The report, not the game window.
                wait_for(lambda: self.display.geometry(self.display.windows("Bitvik")[0])[2] !=
                         GAME["window"].pixels()[2],
                         timeout=2, what="the error report")
                if settings is None:
                    self.keep_screenshot("bitvik-missing-ini.png")
                self.answer_report(game, "Bitvik", 1, *named)
                self.assertEqual({name: self.read(name) for name in self.files()}, before)


if __name__ == "__main__":
    unittest.main()
