"""Real-window test harness: a private Xvfb screen with a window manager, the built programs
started as processes in a scratch folder, real X input through xdotool, and screenshots read
back pixel by pixel. Every wait is bounded.

On this X server two clients that connect at the same instant can make one of them fail. So the
harness opens one X connection (python3-xlib) as soon as the server is up, before any program
starts, and finds, measures and photographs windows through it alone; the X tools it starts
(xdotool for input, import for saved pictures) run only once the window they act on is up, and
are retried when they cannot connect. The program under test is never retried."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

import Xlib.display
import Xlib.error
import Xlib.X

from controls import BOARDS, GAME

SCREEN = (1024, 768)
WHITE, BLACK, YELLOW = (255, 255, 255), (0, 0, 0), (255, 255, 128)
# What an X client prints when it could not connect; such a run of our own tools is repeated.
CONNECT_FAILURES = (b"open display", b"connect to display", b"Can't open display")
TOOL_ATTEMPTS = 5
# A screenshot is taken once two grabs this far apart agree, after at most so many more.
SETTLE_INTERVAL = 0.05
SETTLE_GRABS = 40


def wait_for(condition, timeout=10.0, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


class Screenshot:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.pixels = width, height, rgb

    def at(self, x, y):
        i = 3 * (int(y) * self.width + int(x))
        return tuple(self.pixels[i:i + 3])


def close_to(a, b, tolerance=6):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


class Display:
    """Xvfb on a free display number, 24 bit, with openbox unless told otherwise; the programs
    scaled by Qt by a factor when one is given."""

    def __init__(self, window_manager=True, screen=SCREEN, scale=None):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{screen[0]}x{screen[1]}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("QT_SCALE_FACTOR", None)
        if scale:
            self.env["QT_SCALE_FACTOR"] = str(scale)
        self.x = wait_for(lambda: self._connect(":" + number), what="a connection to Xvfb")
        self.root = self.x.screen().root
        self.wm = None
        if window_manager:
            self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_for(lambda: self.property(self.root, "_NET_SUPPORTING_WM_CHECK"),
                     what="openbox")

    @staticmethod
    def _connect(name):
        try:
            return Xlib.display.Display(name)
        except (Xlib.error.DisplayError, ConnectionError, OSError):
            return None

    def as_user(self):
        """Whom the programs run as: the test's own user here."""
        return {}

    def executable(self, name):
        """The built program by that name ("bitvik", "tralloma"), as its user can run it."""
        return os.environ[name.upper()]

    def run(self, argv):
        """Runs one of our X tools, again when it could not connect to the server."""
        for attempt in range(TOOL_ATTEMPTS):
            done = subprocess.run(argv, env=self.env, capture_output=True, timeout=30)
            if done.returncode == 0 or not any(m in done.stderr for m in CONNECT_FAILURES):
                break
            time.sleep(0.1 * (attempt + 1))
        done.check_returncode()

    def close(self):
        if self.x:
            self.x.close()
            self.x = None
        for process in (self.wm, self.xvfb):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def property(self, window, name):
        """The values of a window's property, or None when it has none or the window is gone."""
        try:
            found = self._window(window).get_full_property(self.x.intern_atom(name),
                                                           Xlib.X.AnyPropertyType)
        except Xlib.error.XError:
            return None
        return found.value if found else None

    def area(self):
        """Where the screen under test lies on the X server's: (left, top, width, height)."""
        return 0, 0, self.x.screen().width_in_pixels, self.x.screen().height_in_pixels

    def screenshot(self):
        """The screen once it has stopped changing: two grabs a moment apart that agree, so that
        a window just mapped or resized has drawn itself."""
        left, top, width, height = self.area()
        shot = self._grab(left, top, width, height)
        for _ in range(SETTLE_GRABS):
            time.sleep(SETTLE_INTERVAL)
            again = self._grab(left, top, width, height)
            if again == shot:
                break
            shot = again
        return Screenshot(width, height, shot)

    def _grab(self, left, top, width, height):
        bgrx = self.root.get_image(left, top, width, height, Xlib.X.ZPixmap, 0xFFFFFFFF).data
        rgb = bytearray(3 * width * height)
        rgb[0::3], rgb[1::3], rgb[2::3] = bgrx[2::4], bgrx[1::4], bgrx[0::4]
        return bytes(rgb)

    def _painted(self, window):
        """Whether the window shows more than one colour and the same pixels twice running."""
        try:
            left, top, width, height = self.geometry(window)
        except Xlib.error.XError:
            return False
        screen = self.x.screen()
        left, top = max(0, left), max(0, top)
        width = min(width, screen.width_in_pixels - left)
        height = min(height, screen.height_in_pixels - top)
        if width <= 0 or height <= 0:
            return False
        first = self._grab(left, top, width, height)
        if first.count(first[:3]) * 3 == len(first):
            return False
        time.sleep(SETTLE_INTERVAL)
        return self._grab(left, top, width, height) == first

    def save_screenshot(self, path, window=None):
        """The screen, or the window with the frame the window manager gives it."""
        crop = []
        if window is not None:
            left, top, width, height = self.geometry(window)
            extents = self.property(window, "_NET_FRAME_EXTENTS")
            l, r, t, b = extents if extents is not None and len(extents) == 4 else (0, 0, 0, 0)
            crop = ["-crop", f"{width + l + r}x{height + t + b}+{left - l}+{top - t}", "+repage"]
        self.run(["import", "-window", "root", *crop, path])

    def click(self, x, y, double=False):
        repeat = ["--repeat", "2", "--delay", "60"] if double else []
        self.run(["xdotool", "mousemove", "--sync", str(int(x)), str(int(y)),
                  "click", *repeat, "1"])

    def destroy(self, window):
        """Destroys the window outright, as another client may (XDestroyWindow)."""
        self.run(["xdotool", "windowclose", str(window)])

    def key(self, *names):
        self.run(["xdotool", "key", "--delay", "30", *names])

    def windows(self, title):
        """The viewable windows titled exactly so, in stacking order from the bottom."""
        found = []
        pending = [self.root]
        while pending:
            window = pending.pop(0)
            try:
                children = window.query_tree().children
            except Xlib.error.XError:
                continue
            for child in children:
                if self._titled(child, title):
                    found.append(child.id)
                pending.append(child)
        return found

    def _titled(self, window, title):
        try:
            if window.get_attributes().map_state != Xlib.X.IsViewable:
                return False
        except Xlib.error.XError:
            return False
        return self.title(window) == title

    def title(self, window):
        value = self.property(window, "_NET_WM_NAME")
        if value is None:
            value = self.property(window, "WM_NAME")
        return value.decode("utf-8", "replace") if isinstance(value, bytes) else value

    # A program's first window can take many seconds on a machine that builds alongside.
    def wait_window(self, title, timeout=20.0):
        """The first such window, once it is up and has drawn itself."""
        window = wait_for(lambda: (self.windows(title) or [None])[0], timeout,
                          what=f"window {title!r}")
        wait_for(lambda: self._painted(window), timeout, what=f"window {title!r} drawn")
        return window

    def geometry(self, window):
        """The window's client area on the screen: (left, top, width, height)."""
        handle = self._window(window)
        size = handle.get_geometry()
        origin = handle.translate_coords(self.root, 0, 0)
        return (-origin.x, -origin.y, size.width, size.height)

    def _window(self, window):
        if not isinstance(window, int):
            return window
        return self.x.create_resource_object("window", window)


class Program:
    """A built program started as a process in a folder."""

    def __init__(self, display, executable, folder):
        self.process = subprocess.Popen([executable], cwd=folder, env=display.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        **display.as_user())

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=10.0):
        try:
            out, err = self.process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"program still running after {timeout} s")
        self.stderr = err.decode("utf-8", "replace")
        return self.process.returncode

    def kill(self):
        """Ends a program the test left running. What it said goes to the test's log, and so
        does the end of one that stopped by itself unwaited for (a window that never came)."""
        if hasattr(self, "stderr"):
            return
        left_running = self.running()
        if left_running:
            self.process.kill()
        _, err = self.process.communicate()
        self.stderr = err.decode("utf-8", "replace")
        if left_running and self.stderr.strip():
            sys.stderr.write(f"[{self.process.args[0]} left running] {self.stderr}\n")
        elif not left_running:
            sys.stderr.write(f"[{self.process.args[0]} ended, status {self.process.returncode}] "
                             f"{self.stderr}\n")


def cell_colour(k):
    """Distinct, clearly told apart, and never white, black or the window's yellow."""
    palette = [(200, 30, 30), (30, 160, 40), (40, 60, 200), (210, 140, 20), (150, 40, 170),
               (20, 170, 170), (120, 80, 30), (230, 90, 150), (90, 90, 90), (60, 130, 90),
               (170, 170, 40), (100, 30, 90)]
    return palette[k % len(palette)]


def write_grid_bmp(path, width, height, cols, rows):
    """A 24-bit BMP of cols x rows cells, cell k in cell_colour(k) in reading order."""
    padding = b"\0" * (-3 * width % 4)
    data = b"".join(b"".join(bytes(cell_colour(y * rows // height * cols + x * cols // width)[::-1])
                             for x in range(width)) + padding
                    for y in range(height - 1, -1, -1))  # bottom row first, each in b, g, r
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


class Window:
    """One of our windows once it is up, titled and sized as its design has it (a Design of
    controls.py), with its controls found there by name."""

    def __init__(self, display, design, scale=1):
        self.display, self.scale = display, scale
        self.id = display.wait_window(design.title)
        size = design["window"].pixels(scale)[2:]
        wait_for(lambda: display.geometry(self.id)[2:] == size,
                 what=f"{design.title!r} at {size}")
        self.left, self.top, _, _ = display.geometry(self.id)

    def rect(self, twips):
        """The rectangle on the screen, in pixels."""
        x, y, width, height = twips.pixels(self.scale)
        return self.left + x, self.top + y, width, height

    def point(self, twips):
        x, y = twips.centre(self.scale)
        return self.left + x, self.top + y

    def click(self, twips, double=False):
        self.display.click(*self.point(twips), double=double)

    def colour(self, shot, twips):
        return shot.at(*self.point(twips))


class E2ETestCase(unittest.TestCase):
    window_manager = True
    screen = SCREEN
    scale = None

    def setUp(self):
        self.display = Display(self.window_manager, self.screen, self.scale)
        self.addCleanup(self.display.close)
        self.folder = tempfile.mkdtemp(prefix="bitvik-e2e-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        # The programs' thumbnail cache, kept out of the user's own.
        cache = tempfile.mkdtemp(prefix="bitvik-e2e-cache-")
        self.addCleanup(shutil.rmtree, cache, True)
        self.display.env["XDG_CACHE_HOME"] = cache
        self.programs = []
        self.addCleanup(lambda: [p.kill() for p in self.programs])

    def start(self, name):
        program = Program(self.display, self.display.executable(name), self.folder)
        self.programs.append(program)
        return program

    def window(self, design):
        return Window(self.display, design, self.scale or 1)

    def path(self, name):
        return os.path.join(self.folder, name)

    def files(self):
        return sorted(os.listdir(self.folder))

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name="bitvik.ini"):
        with open(self.path(name), "rb") as f:
            return f.read()

    def game_folder(self, cols, rows, size=(400, 300), picture=b"rutor.bmp"):
        """A picture of cols x rows coloured cells and settings naming it (bytes, as saved)."""
        write_grid_bmp(self.path(picture.decode("latin-1")), *size, cols, rows)
        self.write("bitvik.ini", b'%d\r\n%d\r\n"%s"\r\n' % (cols, rows, picture))

    def play(self, board):
        """Bitvik started on the folder as it is: the process, its window, and the board laid
        out for (cols, rows, width, height)."""
        return self.start("bitvik"), self.window(GAME), BOARDS[board]

    def answer_report(self, program, title, status, *said):
        """The program's error report, answered with Enter: its exit status and what it said."""
        self.display.wait_window(title)
        self.display.key("Return")
        self.assertEqual(program.wait(), status)
        for words in said:
            self.assertIn(words, program.stderr)

    def keep_screenshot(self, name, window=None):
        target = os.environ.get("E2E_SCREENSHOTS")
        if target:
            os.makedirs(target, exist_ok=True)
            self.display.save_screenshot(os.path.join(target, name), window)
