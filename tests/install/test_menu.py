"""The programs as the menu starts them: installed to a prefix of their own, started by their
entries' Exec lines from the root folder in a scratch home, from a first run to a game."""

import contextlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))

from controls import BOARDS, GAME, SETUP  # noqa: E402
from harness import E2ETestCase, cell_colour, close_to, write_grid_bmp  # noqa: E402
from installed import exec_arguments, install  # noqa: E402


class TestMenuEntries(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.prefix = tempfile.mkdtemp(prefix="bitvik-prefix-")
        self.addCleanup(shutil.rmtree, self.prefix, True)
        install(self.prefix)
        # A home whose Pictures folder is configured in Swedish, as xdg-user-dirs makes it.
        self.home = os.path.join(self.folder, "hem")
        self.pictures = os.path.join(self.home, "Bilder")
        os.makedirs(self.pictures)
        os.makedirs(os.path.join(self.home, ".config"))
        with open(os.path.join(self.home, ".config", "user-dirs.dirs"), "w") as f:
            f.write('XDG_PICTURES_DIR="$HOME/Bilder"\n')

    def launch(self, entry):
        argv = exec_arguments(self.prefix, entry)
        env = dict(self.display.env, HOME=self.home)
        env.pop("XDG_CONFIG_HOME", None)
        process = subprocess.Popen(argv, cwd="/", env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, start_new_session=True)
        # The launcher starts the programs as children of its own: all of them end with the test,
        # or one left running would hold the pipes open and the test with them.
        def end():
            with contextlib.suppress(ProcessLookupError):
                os.killpg(process.pid, signal.SIGKILL)
            process.communicate()

        self.addCleanup(end)
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

    def press(self, button):
        """OK or Avbryt in the setup window, once it is up."""
        self.window(SETUP).click(SETUP[button])

    def listed(self, folder):
        return sorted(os.listdir(folder)) if os.path.isdir(folder) else None

    def picture(self):
        write_grid_bmp(os.path.join(self.pictures, "rutor.bmp"), 300, 300, 3, 3)

    def settings(self):
        return self.read(os.path.join(self.pictures, "bitvik.ini"))

    def test_first_run_with_an_empty_pictures_folder(self):
        game = self.launch("bitvik")
        # Tralloma lists the demo pictures in the user's own data folder; OK there starts the
        # game on the first of them.
        self.display.wait_window("Hämta")
        self.keep_screenshot("menu-first-run-setup.png")
        self.press("OK")
        self.window(GAME)
        self.keep_screenshot("menu-first-run-game.png")
        data = os.path.join(self.home, ".local", "share", "bitvik")
        self.assertEqual(self.listed(data), ["bitvik.ini", "fjäll.jpg", "sol.bmp"])
        self.assertEqual(self.read(os.path.join(data, "bitvik.ini")),
                         b'3\r\n3\r\n"fj\xe4ll.jpg"\r\n')
        self.assertEqual(self.listed(self.pictures), [])
        self.assertIsNone(game.poll())

    def test_first_run_with_pictures_saved_then_played(self):
        self.picture()
        game = self.launch("bitvik")
        self.press("OK")
        self.window(GAME)
        self.assertEqual(self.settings(),
                         b'3\r\n3\r\n"rutor.bmp"\r\n')
        self.assertEqual(self.listed(self.pictures), ["bitvik.ini", "rutor.bmp"])
        self.assertIsNone(self.listed(os.path.join(self.home, ".local", "share", "bitvik")))
        self.assertIsNone(game.poll())

    def test_first_run_with_pictures_cancelled(self):
        self.picture()
        launcher = self.launch("bitvik")
        self.press("Avbryt")
        self.assertEqual(launcher.wait(timeout=10), 0)
        self.assertEqual(self.display.windows("Hämta"), [])
        self.assertEqual(self.display.windows("Bitvik"), [])
        self.assertEqual(self.listed(self.pictures), ["rutor.bmp"])

    def test_settings_present_start_the_game_at_once(self):
        self.picture()
        self.write(os.path.join(self.pictures, "bitvik.ini"), b'2\r\n2\r\n"rutor.bmp"\r\n')
        game = self.launch("bitvik")
        self.window(GAME)
        self.assertEqual(self.display.windows("Hämta"), [])
        self.assertEqual(self.settings(),
                         b'2\r\n2\r\n"rutor.bmp"\r\n')
        self.assertIsNone(game.poll())

    def test_setup_then_game_in_the_pictures_folder(self):
        self.picture()
        tralloma = self.launch("tralloma")
        w = self.window(SETUP)
        self.assertEqual(self.window_icons(w.id), [16, 32, 48])
        w.click(SETUP["OK"])  # with the first picture of the folder and 3 x 3 chosen at start
        self.assertEqual(tralloma.wait(timeout=10), 0)
        self.assertEqual(self.settings(), b'3\r\n3\r\n"rutor.bmp"\r\n')

        game = self.launch("bitvik")
        w = self.window(GAME)
        self.assertEqual(self.window_icons(w.id), [16, 32, 48])
        shot = self.display.screenshot()
        for k, piece in enumerate(BOARDS[3, 3, 300, 300].pieces):
            self.assertTrue(close_to(w.colour(shot, piece), cell_colour(k)), k)
        self.assertIsNone(game.poll())


if __name__ == "__main__":
    unittest.main()
