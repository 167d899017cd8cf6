"""The programs as the menu starts them: installed to a prefix of their own, started by their
entries' Exec lines from the root folder, they work in the user's Pictures folder."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))

import desktopentry  # noqa: E402
from harness import (E2ETestCase, TWIPS_PER_PIXEL, board_layout, cell_colour, close_to,  # noqa: E402
                     wait_for, write_grid_bmp)

BUILD = os.environ["BITVIK_BUILD"]


class TestMenuEntries(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.prefix = tempfile.mkdtemp(prefix="bitvik-prefix-")
        self.addCleanup(shutil.rmtree, self.prefix, True)
        installed = subprocess.run(["cmake", "--install", BUILD, "--prefix", self.prefix],
                                   capture_output=True, text=True, timeout=60)
        self.assertEqual(installed.returncode, 0, installed.stderr)
        # A home whose Pictures folder is configured in Swedish, as xdg-user-dirs makes it.
        self.home = os.path.join(self.folder, "hem")
        self.pictures = os.path.join(self.home, "Bilder")
        os.makedirs(self.pictures)
        os.makedirs(os.path.join(self.home, ".config"))
        with open(os.path.join(self.home, ".config", "user-dirs.dirs"), "w") as f:
            f.write('XDG_PICTURES_DIR="$HOME/Bilder"\n')

    def launch(self, entry):
        path = os.path.join(self.prefix, "share", "applications", f"{entry}.desktop")
        argv = desktopentry.exec_arguments(desktopentry.read(path)["Exec"])
        env = dict(self.display.env, HOME=self.home)
        env.pop("XDG_CONFIG_HOME", None)
        process = subprocess.Popen(argv, cwd="/", env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        self.addCleanup(lambda: (process.kill(), process.communicate()))
        return process

    def window_icons(self, window):
        """The sizes of the icons the window carries for the task bar."""
        icon = list(self.display.property(window, "_NET_WM_ICON") or [])
        sizes = set()
        while len(icon) >= 2:
            width, height = icon[0], icon[1]
            if width == height:
                sizes.add(width)
            icon = icon[2 + width * height:]
        return sorted(sizes)

    def test_setup_then_game_in_the_pictures_folder(self):
        write_grid_bmp(os.path.join(self.pictures, "rutor.bmp"), 300, 300, 3, 3)
        tralloma = self.launch("tralloma")
        window = self.display.wait_window("Hämta")
        self.assertEqual(self.window_icons(window), [16, 32, 48])
        left, top, _, _ = self.display.geometry(window)
        # OK, with the first picture of the folder and the grid of 3 x 3 chosen at start.
        self.display.click(left + (6495 + 660) / TWIPS_PER_PIXEL,
                           top + (5700 + 540) / TWIPS_PER_PIXEL)
        self.assertEqual(tralloma.wait(timeout=10), 0)
        with open(os.path.join(self.pictures, "bitvik.ini"), "rb") as f:
            self.assertEqual(f.read(), b'3\r\n3\r\n"rutor.bmp"\r\n')

        game = self.launch("bitvik")
        window = self.display.wait_window("Bitvik")
        wait_for(lambda: self.display.geometry(window)[2] == 634, what="the game window")
        self.assertEqual(self.window_icons(window), [16, 32, 48])
        left, top, _, _ = self.display.geometry(window)
        pieces, _, _ = board_layout(3, 3, 300, 300)
        shot = self.display.screenshot()
        for k, (x, y, w, h) in enumerate(pieces):
            at = (left + (x + w / 2) / TWIPS_PER_PIXEL, top + (y + h / 2) / TWIPS_PER_PIXEL)
            self.assertTrue(close_to(shot.at(*at), cell_colour(k)), k)
        self.assertIsNone(game.poll())


if __name__ == "__main__":
    unittest.main()
