"""Real-window test harness: a private Xvfb screen with a window manager, the built programs
started as processes in a scratch folder, real X input through xdotool, and screenshots read
back pixel by pixel. Every wait is bounded."""

import os
import re
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

TWIPS_PER_PIXEL = 15
SCREEN = (1024, 768)


def wait_for(condition, timeout=10.0, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


class Screenshot:
    def __init__(self, ppm):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        assert header, "expected a binary 8-bit PPM"
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.pixels = ppm[header.end():header.end() + 3 * self.width * self.height]

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
        wait_for(lambda: self.run(["xdpyinfo"], check=False).returncode == 0, what="Xvfb")
        self.wm = None
        if window_manager:
            self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_for(lambda: b"_NET_SUPPORTING_WM_CHECK(WINDOW)" in
                     self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).stdout,
                     what="openbox")

    def run(self, argv, check=True):
        return subprocess.run(argv, env=self.env, capture_output=True, check=check, timeout=30)

    def close(self):
        for process in (self.wm, self.xvfb):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def screenshot(self):
        return Screenshot(self.run(["import", "-window", "root", "-depth", "8", "ppm:-"]).stdout)

    def save_screenshot(self, path):
        self.run(["import", "-window", "root", path])

    def save_window_screenshot(self, path, window):
        """The window with the frame the window manager gives it."""
        left, top, width, height = self.geometry(window)
        extents = self.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"], check=False).stdout
        numbers = re.findall(rb"\d+", extents.split(b"=", 1)[-1])
        l, r, t, b = (int(n) for n in numbers) if len(numbers) == 4 else (0, 0, 0, 0)
        crop = f"{width + l + r}x{height + t + b}+{left - l}+{top - t}"
        self.run(["import", "-window", "root", "-crop", crop, "+repage", path])

    def click(self, x, y, button=1, double=False):
        repeat = ["--repeat", "2", "--delay", "60"] if double else []
        self.run(["xdotool", "mousemove", "--sync", str(int(x)), str(int(y)),
                  "click", *repeat, str(button)])

    def key(self, *names):
        self.run(["xdotool", "key", "--delay", "30", *names])

    def windows(self, title):
        found = self.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], check=False)
        return [int(w) for w in found.stdout.split()]

    def wait_window(self, title, timeout=10.0):
        return wait_for(lambda: (self.windows(title) or [None])[0], timeout, what=f"window {title!r}")

    def geometry(self, window):
        """The window's client area on the screen: (left, top, width, height)."""
        info = self.run(["xwininfo", "-id", str(window)]).stdout.decode()
        field = {}
        for line in info.splitlines():
            if ":" in line:
                key, _, value = line.strip().partition(":")
                field[key] = value.strip()
        return (int(field["Absolute upper-left X"]), int(field["Absolute upper-left Y"]),
                int(field["Width"]), int(field["Height"]))


class Program:
    """A built program started as a process in a folder."""

    def __init__(self, display, executable, folder):
        self.process = subprocess.Popen([executable], cwd=folder, env=display.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)

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
        if self.running():
            self.process.kill()
            self.process.communicate()


def write_bmp(path, width, height, colour_at):
    """A 24-bit BMP; colour_at(x, y) gives (r, g, b) with y from the top."""
    row_size = (3 * width + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = colour_at(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def cell_colour(k):
    """Distinct, clearly told apart, and never white, black or the window's yellow."""
    palette = [(200, 30, 30), (30, 160, 40), (40, 60, 200), (210, 140, 20), (150, 40, 170),
               (20, 170, 170), (120, 80, 30), (230, 90, 150), (90, 90, 90), (60, 130, 90),
               (170, 170, 40), (100, 30, 90)]
    return palette[k % len(palette)]


def write_grid_bmp(path, width, height, cols, rows):
    write_bmp(path, width, height,
              lambda x, y: cell_colour((y * rows // height) * cols + x * cols // width))


def round_half_even(value):
    return round(value)


def board_layout(cols, rows, width_px, height_px, outer_width=9600.0):
    """The documented layout: the picture scaled to 4455 twips by a whole factor, then the tray on
    the left and the covers on the right, each step of the cursors rounded on its own."""
    w_nat, h_nat = width_px * TWIPS_PER_PIXEL, height_px * TWIPS_PER_PIXEL
    factor = max(1, round_half_even(w_nat / 4455))
    w, h = 4455.0, float(round_half_even(h_nat / factor))
    x0 = round_half_even((outer_width / 2 - w) / 2)
    pieces = []
    y = 70
    for r in range(rows):
        x = x0
        for c in range(cols):
            pieces.append((x, y, (w + 8) / cols, h / rows))
            x = round_half_even(w / cols + x)
        y = round_half_even(h / rows + y)
    covers = [(outer_width / 2 + x, y, pw, ph) for (x, y, pw, ph) in pieces]
    picture = (outer_width / 2 + x0, 70, w, h)
    return pieces, covers, picture


class E2ETestCase(unittest.TestCase):
    window_manager = True
    screen = SCREEN
    scale = None

    def setUp(self):
        self.display = Display(self.window_manager, self.screen, self.scale)
        self.addCleanup(self.display.close)
        self.folder = tempfile.mkdtemp(prefix="bitvik-e2e-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.programs = []
        self.addCleanup(lambda: [p.kill() for p in self.programs])

    def start(self, name):
        executable = os.environ[name.upper()]
        program = Program(self.display, executable, self.folder)
        self.programs.append(program)
        return program

    def path(self, name):
        return os.path.join(self.folder, name)

    def files(self):
        return sorted(os.listdir(self.folder))

    def keep_screenshot(self, name):
        target = os.environ.get("E2E_SCREENSHOTS")
        if target:
            os.makedirs(target, exist_ok=True)
            self.display.save_screenshot(os.path.join(target, name))

    def keep_window_screenshot(self, name, window):
        target = os.environ.get("E2E_SCREENSHOTS")
        if target:
            os.makedirs(target, exist_ok=True)
            self.display.save_window_screenshot(os.path.join(target, name), window)
