"""What a screen reader meets: each program's tree on the real accessibility bus, walked as Orca
walks it, every object as (depth, role, name, focusable). The windows are frames named by their
caption, Tralloma's caption " Bild" is a label, and neither the backdrop nor the game's hidden
picture boxes are there. Without a bus the test fails and says why."""

import os
from unittest import mock

from atspibus import AccessibilityBus
from controls import GAME, SETUP
from harness import E2ETestCase, wait_for

# The roles of the design tables, in Qt's words, as at-spi has them.
ATSPI_ROLES = {"Window": "frame", "Button": "push button", "StaticText": "label", "List": "list",
               "EditableText": "text", "Client": "filler", "RadioButton": "radio button"}


def control(depth, design, name, focusable=True):
    """A control of a window's design as the tree shows it."""
    shown = design.controls[name]
    return depth, ATSPI_ROLES[shown.role], shown.name, focusable


BITVIK = [
    (0, "application", "bitvik", False),
    control(1, GAME, "Form1", False),
    control(2, GAME, "Command3D1"),
    control(2, GAME, "Command3D2"),
    control(2, GAME, "Command3D3"),
    (1, "alert", "Sluta", False),
    (2, "image", "", False),
    (2, "label", "       Vill du sluta ?", True),
    (2, "panel", "", False),
    (3, "push button", "Ja", True),
    (3, "push button", "Nej", True),
]

TRALLOMA = [
    (0, "application", "tralloma", False),
    control(1, SETUP, "Form1", False),
    control(2, SETUP, "Text1"),
    control(2, SETUP, "Command1"),
    control(2, SETUP, "File1"),
    (3, "list item", "bild.bmp", True),
    control(2, SETUP, "Command2"),
    control(2, SETUP, "Frame1", False),
    *[control(3, SETUP, f"Option1({i})") for i in range(7)],
    control(2, SETUP, "Frame2", False),
    *[control(3, SETUP, f"Option2({i})") for i in range(7)],
    control(2, SETUP, "Bild", False),
]


class TestScreenReader(E2ETestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        bus = AccessibilityBus()
        cls.addClassCleanup(bus.close)
        # Read by libatspi when it first connects, and by the programs through each Display.
        environment = mock.patch.dict(os.environ, bus.env)
        environment.start()
        cls.addClassCleanup(environment.stop)

    def setUp(self):
        super().setUp()
        self.game_folder(2, 2, (300, 200), b"bild.bmp")

    def tree(self, pid):
        """The program's objects, depth first, or nothing while it is not on the bus."""
        import pyatspi  # only now: libatspi finds the bus through the environment set above

        desktop = pyatspi.Registry.getDesktop(0)
        apps = [a for a in desktop if a is not None and a.get_process_id() == pid]
        if not apps:
            return []
        apps[0].clear_cache()
        rows = []

        # The roles by the names of the table, whatever at-spi calls them (2.56 says "button" for
        # what 2.46 says "push button").
        names = {getattr(pyatspi, "ROLE_" + name.upper().replace(" ", "_")): name
                 for name in ("application", "frame", "push button", "alert", "label", "panel",
                              "image", "list", "list item", "radio button", "filler", "text")}

        def visit(node, depth):
            focusable = node.getState().contains(pyatspi.STATE_FOCUSABLE)
            role = names.get(node.getRole(), node.getRoleName())
            rows.append((depth, role, node.name, focusable))
            for child in node:
                visit(child, depth + 1)

        visit(apps[0], 0)
        return rows

    def assertTree(self, program, expected):
        seen = []

        def matches():
            seen[:] = self.tree(program.process.pid)
            return seen == expected

        try:
            wait_for(matches, timeout=15, interval=0.3, what="the tree on the bus")
        except AssertionError:
            pass
        self.assertEqual(seen, expected)

    def test_game_with_its_quit_question(self):
        program = self.start("bitvik")
        self.window(GAME).click(GAME["Sluta"])
        self.display.wait_window("Sluta")
        self.assertTree(program, BITVIK)

    def test_setup_tool(self):
        program = self.start("tralloma")
        self.display.wait_window(SETUP.title)
        self.assertTree(program, TRALLOMA)
