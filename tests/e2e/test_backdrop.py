"""The black backdrop under openbox: no taskbar or pager entry of its own, so that Alt+Tab and
the taskbar show one window a program, and taken away and brought back with the main window."""

import unittest

from harness import E2ETestCase, wait_for
from xwindows import ICONIC, NORMAL, WindowManager

SKIPS = {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}
MAIN_TITLES = {"bitvik": "Bitvik", "tralloma": "Hämta"}


class TestBackdrop(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.x = WindowManager(self.display)
        self.game_folder(2, 2, (300, 200), b"bild.bmp")

    def windows(self, name):
        """The program's main window and its backdrop, once both are mapped."""
        program = self.start(name)
        pid = program.process.pid

        def both():
            mine = [w for w in self.x.windows_of(pid) if self.x.wm_state(w) == NORMAL]
            main = [w for w in mine if self.display.title(w) == MAIN_TITLES[name]]
            rest = [w for w in mine if w not in main]
            return (main[0], rest[0]) if len(main) == 1 and len(rest) == 1 else None

        return wait_for(both, what=f"the windows of {name}")

    def test_one_entry_a_program_gone_and_back_with_the_main_window(self):
        for name in ("bitvik", "tralloma"):
            with self.subTest(name):
                main, backdrop = self.windows(name)
                self.assertTrue(SKIPS <= self.x.states(backdrop), self.x.states(backdrop))
                self.assertFalse(SKIPS & self.x.states(main))
                self.assertIn("_NET_WM_STATE_BELOW", self.x.states(backdrop))
                maximised = {s for s in self.x.states(backdrop) if "MAXIMIZED" in s}
                self.assertEqual(len(maximised), 2)
                # Withdrawn rather than minimised: not every window manager minimises a window
                # that has no taskbar entry. The program asks for the focus once its window is
                # mapped, and a request that arrives after the minimise brings the window back:
                # it is minimised again until it stays so.
                def minimised_without_backdrop():
                    if self.x.wm_state(main) != ICONIC:
                        self.x.minimise(main)
                        return False
                    return backdrop not in self.x.clients()

                wait_for(minimised_without_backdrop, interval=0.3,
                         what="main window minimised and backdrop gone")

                self.x.activate(main)
                wait_for(lambda: self.x.wm_state(backdrop) == NORMAL, what="backdrop back")
                wait_for(lambda: self.x.active() == main, what="main window active")
                self.assertEqual(self.x.wm_state(main), NORMAL)
                stacking = self.x.clients(stacking=True)
                self.assertLess(stacking.index(backdrop), stacking.index(main))
                self.assertTrue(maximised | SKIPS <= self.x.states(backdrop))
                # The black shows around the window again.
                self.assertEqual(self.display.screenshot().at(5, 5), (0, 0, 0))
                for program in self.programs:
                    program.kill()


if __name__ == "__main__":
    unittest.main()
