"""The desktops a user runs, each started nested in its own Xvfb and torn down completely: the
compositor or window manager, its Xwayland, its session bus, their lock files and runtime folders.
Screenshots are read from the Xvfb's root, which shows what the compositor shows, and input is
real X input (XTest) sent to that Xvfb through the harness's one connection. The programs get the
environment a user of that session has and choose their platform themselves."""

import os
import pwd
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import Xlib.X
import Xlib.XK
import Xlib.Xatom
from Xlib.ext import xtest

from harness import SCREEN, Display, wait_for

# sway refuses to run as root; it and the programs it shows run as this user, made when missing.
SWAY_USER = "bitvik-e2e"
STARTUP = 30.0  # seconds a compositor may take to come up on a busy machine
KEY_DELAY = 0.03
WALLPAPER = (0x30, 0x60, 0xA0)


def descendants(pid):
    """The processes started from pid, at any depth, as /proc lists them now."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                parent = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(parent, []).append(int(entry))
    found, pending = [], [pid]
    while pending:
        for child in children.get(pending.pop(), []):
            found.append(child)
            pending.append(child)
    return found


def command_line(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return [a.decode("utf-8", "replace") for a in f.read().split(b"\0") if a]
    except OSError:
        return []


def alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except (OSError, IndexError):
        return False


def end_processes(pids, timeout=5.0):
    """SIGTERM to each, SIGKILL to those still there after the timeout."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        for pid in pids:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        try:
            wait_for(lambda: not any(alive(p) for p in pids), timeout, what="processes to end")
            return
        except AssertionError:
            continue


def x_locks():
    return [name[2:-5] for name in os.listdir("/tmp") if re.fullmatch(r"\.X\d+-lock", name)]


def lock_held(number):
    try:
        with open(f"/tmp/.X{number}-lock") as f:
            return alive(int(f.read().strip()))
    except (OSError, ValueError):
        return False


def told_words(path, least):
    """What a program the compositor started wrote down: an X display and more words, at least
    `least` of them, or None while the file is not yet written whole."""
    try:
        with open(path) as f:
            said = f.read()
    except OSError:
        return None
    words = said.split()
    if not said.endswith("\n") or len(words) < least or not words[0][1:].isdigit():
        return None
    return words


def sway_user():
    """The unprivileged user sway runs as, made when missing: (uid, gid, home)."""
    try:
        entry = pwd.getpwnam(SWAY_USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--create-home", "--shell", "/usr/sbin/nologin",
                        SWAY_USER], check=True, capture_output=True, timeout=30)
        entry = pwd.getpwnam(SWAY_USER)
    return entry.pw_uid, entry.pw_gid, entry.pw_dir


class Desktop(Display):
    """One desktop on its own Xvfb. Subclasses say how it starts and what a user's programs see
    (env). `x11` is the X display the programs reach, if any, and `inner` a connection to it
    where that is not the Xvfb itself."""

    name = ""
    session_type = "wayland"
    current_desktop = ""
    user = None  # (uid, gid, home) the session runs as; None: root, as the test
    outer_screen = SCREEN  # the Xvfb's size
    origin = (0, 0)  # where the desktop's screen lies on the Xvfb's

    def __init__(self):
        super().__init__(window_manager=False, screen=self.outer_screen)
        self.outer_env = self.env
        self.processes = []
        self.locks_before = set(x_locks())
        self.runtime = tempfile.mkdtemp(prefix="bitvik-e2e-run-")
        os.chmod(self.runtime, 0o700)
        self.inner, self.x_number = None, None
        self.socket = f"bitvik-e2e-{os.getpid()}"
        try:
            if self.user:
                os.chown(self.runtime, self.user[0], self.user[1])
            self.env = self.session_env()
            self.start()
        except BaseException:
            self.close()
            raise

    def session_env(self):
        env = {k: v for k, v in self.outer_env.items()
               if not k.startswith(("WAYLAND_", "XDG_", "DBUS_", "QT_QPA", "DISPLAY"))}
        env.update(XDG_RUNTIME_DIR=self.runtime, XDG_SESSION_TYPE=self.session_type,
                   XDG_CURRENT_DESKTOP=self.current_desktop)
        if self.user:
            env.update(HOME=self.user[2], USER=SWAY_USER, LOGNAME=SWAY_USER)
        return env

    def as_user(self):
        if not self.user:
            return {}
        return dict(user=self.user[0], group=self.user[1], extra_groups=[])

    def executable(self, name):
        """The built program, for a session of its own user copied where that user can run it:
        the build may lie where only root reaches (a clone in /root, of mode 0700). The copy
        needs nothing from the build: our libraries are linked in."""
        built = super().executable(name)
        if not self.user:
            return built
        folder = os.path.join(self.runtime, "programs")
        os.makedirs(folder, exist_ok=True)
        os.chmod(folder, 0o755)
        copy = os.path.join(folder, os.path.basename(built))
        if not os.path.exists(copy):
            shutil.copy2(built, copy)
        return copy

    def spawn(self, argv, env, log_name):
        """A process of the session, in a process group of its own, its output in a log."""
        log = open(os.path.join(self.runtime, log_name + ".log"), "wb")
        process = subprocess.Popen(argv, env=env, stdout=log, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, start_new_session=True,
                                   **self.as_user())
        log.close()
        self.processes.append(process)
        return process

    def log(self, log_name):
        try:
            with open(os.path.join(self.runtime, log_name + ".log"), "rb") as f:
                return f.read().decode("utf-8", "replace")[-2000:]
        except OSError:
            return ""

    def session_bus(self, env):
        """A session bus of our own, ended by its PID (dbus-run-session would leave it)."""
        read, write = os.pipe()
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                f"--print-address={write}"], env=env, pass_fds=(write,),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True, **self.as_user())
        os.close(write)
        self.processes.append(bus)
        with os.fdopen(read) as pipe:
            address = pipe.readline().strip()
        if not address:
            raise RuntimeError(f"{self.name}: dbus-daemon did not start")
        env["DBUS_SESSION_BUS_ADDRESS"] = address

    def wait_started(self, process, ready, what):
        """Waits for ready() while the process runs; fails naming the log when it ends."""
        deadline = time.monotonic() + STARTUP
        while time.monotonic() < deadline:
            if process.poll() is not None:
                raise RuntimeError(f"{self.name} ended with status {process.returncode} before "
                                   f"{what}:\n{self.log(self.name)}")
            value = ready()
            if value:
                return value
            time.sleep(0.1)
        raise RuntimeError(f"{self.name}: no {what} after {STARTUP} s:\n{self.log(self.name)}")

    def wayland_ready(self):
        return os.path.exists(os.path.join(self.runtime, self.socket))

    def xwayland_display(self, process):
        """The display number the compositor's Xwayland serves, read off its command line once
        the server takes connections (the compositor picks the number)."""
        for pid in descendants(process.pid):
            if os.path.basename((command_line(pid) or [""])[0]) != "Xwayland":
                continue
            argv = command_line(pid)
            number = next((a[1:] for a in argv if a[:1] == ":" and a[1:].isdigit()), None)
            if number and os.path.exists(f"/tmp/.X11-unix/X{number}"):
                if "-auth" in argv:
                    self.env["XAUTHORITY"] = argv[argv.index("-auth") + 1]
                return number
        return None

    def connect_inner(self, number):
        """A connection to the Xwayland, through which our windows there are found; python3-xlib's
        RANDR module fails on Xwayland, so that extension is left unloaded."""
        import Xlib.ext
        Xlib.ext.__extensions__ = [e for e in Xlib.ext.__extensions__ if e[0] != "RANDR"]
        self.env["DISPLAY"] = ":" + number
        self.x_number = number
        saved = os.environ.get("XAUTHORITY")
        os.environ["XAUTHORITY"] = self.env.get("XAUTHORITY", "")  # python3-xlib reads it there
        try:
            self.inner = wait_for(lambda: self._connect(":" + number), what="Xwayland")
        finally:
            if saved is None:
                del os.environ["XAUTHORITY"]
            else:
                os.environ["XAUTHORITY"] = saved

    def x_view(self):
        """The X display the programs reach, seen through our own connection, or None."""
        if self.session_type == "x11":
            return self
        return XView(self.inner) if self.inner else None

    def close(self):
        if self.inner:
            self.inner.close()
            self.inner = None
        pids = set()
        for process in self.processes:
            pids.add(process.pid)
            pids.update(descendants(process.pid))
        # wlroots starts Xwayland detached from sway.
        if self.x_number:
            pids.update(p for p in map(int, filter(str.isdigit, os.listdir("/proc")))
                        if command_line(p)[:2] == [shutil.which("Xwayland"), ":" + self.x_number]
                        or command_line(p)[:2] == ["Xwayland", ":" + self.x_number])
        end_processes(sorted(pids))
        for process in self.processes:
            process.poll()
        # Lock files and sockets the session's X servers left behind (mutter leaves some).
        for number in set(x_locks()) - self.locks_before:
            if not lock_held(number):
                for path in (f"/tmp/.X{number}-lock", f"/tmp/.X11-unix/X{number}"):
                    if os.path.exists(path):
                        os.remove(path)
        shutil.rmtree(self.runtime, ignore_errors=True)
        super().close()

    def save_screenshot(self, path, window=None):
        """The Xvfb's screen, written from our own grab: an X tool would reach the Xwayland."""
        shot = self.screenshot()
        picture = b"P6 %d %d 255\n" % (shot.width, shot.height) + shot.pixels
        subprocess.run(["convert", "ppm:-", path], input=picture, check=True, timeout=30)

    # Real input on the Xvfb, through the harness's connection.
    def move(self, x, y):
        xtest.fake_input(self.x, Xlib.X.MotionNotify, x=int(x) + self.origin[0],
                         y=int(y) + self.origin[1])
        self.x.sync()

    def click(self, x, y, double=False):
        # Up to the place first, as a hand does: an Xwayland window of sway's takes a press
        # only once the pointer has moved over it.
        self.move(x - 3, y - 3)
        time.sleep(0.1)
        self.move(x, y)
        time.sleep(0.05)
        for _ in range(2 if double else 1):
            xtest.fake_input(self.x, Xlib.X.ButtonPress, 1)
            self.x.sync()
            time.sleep(0.03)
            xtest.fake_input(self.x, Xlib.X.ButtonRelease, 1)
            self.x.sync()
            time.sleep(0.06)

    def key(self, *names):
        """Each name a key or a chord such as "super+h", pressed and released in turn."""
        for name in names:
            codes = [self.keycode(part) for part in name.split("+")]
            for code in codes:
                xtest.fake_input(self.x, Xlib.X.KeyPress, code)
                self.x.sync()
                time.sleep(KEY_DELAY)
            for code in reversed(codes):
                xtest.fake_input(self.x, Xlib.X.KeyRelease, code)
                self.x.sync()
                time.sleep(KEY_DELAY)

    def keycode(self, name):
        aliases = {"super": "Super_L", "alt": "Alt_L", "ctrl": "Control_L", "shift": "Shift_L"}
        keysym = Xlib.XK.string_to_keysym(aliases.get(name.lower(), name))
        code = self.x.keysym_to_keycode(keysym)
        if not code:
            raise AssertionError(f"no key for {name!r}")
        return code


class XView(Display):
    """The harness's view of an X display through a connection made elsewhere."""

    def __init__(self, connection):
        self.x, self.root = connection, connection.screen().root


def mutter_offers(option):
    """Whether the installed mutter takes the option: with it, asked only for its version, it
    answers rather than calling the option unknown (mutter 50 does for --nested and --x11)."""
    try:
        return subprocess.run(["mutter", option, "--version"], capture_output=True,
                              timeout=30).returncode == 0
    except OSError:
        return False


def stand_in_wallpaper(connection, width, height):
    """A desktop window of one colour, such as a desktop's shell shows, for the desktop to be told
    from a black backdrop."""
    screen = connection.screen()
    window = screen.root.create_window(0, 0, width, height, 0, screen.root_depth,
                                       background_pixel=0x3060A0)
    window.change_property(connection.intern_atom("_NET_WM_WINDOW_TYPE"), Xlib.Xatom.ATOM, 32,
                           [connection.intern_atom("_NET_WM_WINDOW_TYPE_DESKTOP")])
    window.map()
    connection.sync()


class MutterWayland(Desktop):
    """GNOME's mutter as a Wayland compositor: nested in a window on the Xvfb where it still can
    be (mutter 43, 48); mutter 50 runs only as a display server of its own, headless, its virtual
    monitor shown on the Xvfb by its development kit, a GTK window that plays the monitor through
    PipeWire and hands the input it gets on to mutter (libei). The screen is then that window's
    view, 1024 x 768 inside its header bar."""

    name = "mutter-wayland"
    current_desktop = "GNOME"
    nested = mutter_offers("--nested")
    # The development kit's window fills the Xvfb; its borders (5 pixels) and header bar (46)
    # leave a view of 1024 x 768, the size of the monitor it has mutter make.
    outer_screen = SCREEN if nested else (SCREEN[0] + 10, SCREEN[1] + 56)
    modes = "1024x768"  # its monitors', the first the one they show

    def start(self):
        env = dict(self.env, DISPLAY=self.outer_env["DISPLAY"],
                   MUTTER_DEBUG_DUMMY_MODE_SPECS=self.modes)
        self.session_bus(env)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = env["DBUS_SESSION_BUS_ADDRESS"]
        if self.nested:
            mode = ["--nested"]
        else:
            # The development kit's view is a PipeWire stream; wireplumber links it.
            pipewire = self.spawn(["pipewire"], env, "pipewire")
            self.wait_started(pipewire, lambda: os.path.exists(
                os.path.join(self.runtime, "pipewire-0")), "PipeWire socket")
            self.spawn(["wireplumber"], env, "wireplumber")
            mode = ["--devkit"]
        mutter = self.spawn(["mutter", *mode, "--wayland", "--wayland-display", self.socket],
                            env, self.name)
        self.wait_started(mutter, self.wayland_ready, "Wayland socket")
        self.connect_inner(self.wait_started(mutter, lambda: self.xwayland_display(mutter),
                                             "Xwayland"))
        self.env["WAYLAND_DISPLAY"] = self.socket
        if not self.nested:
            self.origin = self.wait_started(mutter, self.view,
                                            "a view of 1024 x 768 in the development kit")

    def view(self):
        """The top left corner of the development kit's view of the monitor, once it shows one
        of the screen's size: the dark wallpaper inside the light window around it."""
        left, top, width, height = Display.area(self)
        shot = self._grab(left, top, width, height)

        def dark(x, y):
            i = 3 * (y * width + x)
            return sum(shot[i:i + 3]) < 384

        across = [x for x in range(width) if dark(x, height // 2)]
        down = [y for y in range(height) if dark(width // 8, y)]  # clear of the title
        if across and down and (across[-1] + 1 - across[0], down[-1] + 1 - down[0]) == SCREEN:
            return across[0], down[0]
        return None

    def area(self):
        return (*self.origin, *SCREEN) if not self.nested else super().area()


class MutterX11(Desktop):
    name = "mutter-x11"
    session_type = "x11"
    current_desktop = "GNOME"

    def start(self):
        if not mutter_offers("--x11"):
            raise unittest.SkipTest("this mutter has no X11 mode (GNOME 50 runs on Wayland only)")
        self.env["DISPLAY"] = self.outer_env["DISPLAY"]
        self.session_bus(self.env)
        mutter = self.spawn(["mutter", "--x11", "--replace", "--sm-disable"], self.env, self.name)
        self.wait_started(mutter, self.x11_manager_ready, "window manager")

    def x11_manager_ready(self):
        return self.property(self.root, "_NET_SUPPORTING_WM_CHECK")


class IceWM(MutterX11):
    name = "icewm"
    current_desktop = "ICEWM"

    def start(self):
        self.env["DISPLAY"] = self.outer_env["DISPLAY"]
        self.session_bus(self.env)
        # The session as its menu entry starts it: the window manager, its background, its tray.
        icewm = self.spawn(["icewm-session"], self.env, self.name)
        self.wait_started(icewm, self.x11_manager_ready, "window manager")


class Openbox(MutterX11):
    """openbox alone, as the harness runs it for the other real-window tests."""

    name = "openbox"
    current_desktop = "openbox"

    def start(self):
        self.env["DISPLAY"] = self.outer_env["DISPLAY"]
        paint_root(self)
        openbox = self.spawn(["openbox", "--sm-disable"], self.env, self.name)
        self.wait_started(openbox, self.x11_manager_ready, "window manager")


class KwinWayland(Desktop):
    name = "kwin-wayland"
    current_desktop = "KDE"

    def start(self):
        self.session_bus(self.env)
        # kwin 6 starts its Xwayland only when a first X client connects, so the display is
        # what kwin tells a program it starts, not a server to look for.
        told = os.path.join(self.runtime, "display")
        tell = os.path.join(self.runtime, "tell")
        with open(tell, "w") as f:
            f.write(f'#!/bin/sh\necho "$DISPLAY $XAUTHORITY" > {told}\n')
        os.chmod(tell, 0o755)
        argv = ["--x11-display", self.outer_env["DISPLAY"], "--width", "1024", "--height", "768",
                "--socket", self.socket, "--xwayland", "--no-lockscreen", tell]
        try:
            kwin = self.spawn(["kwin_wayland", *argv], self.env, self.name)
        except PermissionError:
            # A container may refuse the file capability the binary carries; a plain copy runs.
            copy = os.path.join(self.runtime, "kwin_wayland")
            shutil.copyfile(shutil.which("kwin_wayland"), copy)
            os.chmod(copy, 0o755)
            kwin = self.spawn([copy, *argv], self.env, self.name)
        self.wait_started(kwin, self.wayland_ready, "Wayland socket")
        said = self.wait_started(kwin, lambda: told_words(told, 1), "X11 display")
        if len(said) > 1:
            self.env["XAUTHORITY"] = said[1]
        self.connect_inner(said[0][1:])
        self.env["WAYLAND_DISPLAY"] = self.socket
        self.wallpaper()

    def wallpaper(self):
        """kwin alone shows black where Plasma shows its wallpaper: a stand-in for Plasma's."""
        stand_in_wallpaper(self.inner, 1024, 768)
        wait_for(lambda: self.screenshot().at(512, 384) == WALLPAPER, timeout=STARTUP,
                 what="the stand-in wallpaper")


class Weston(Desktop):
    """weston's own desktop shell, no Xwayland: the programs can only speak Wayland."""

    name = "weston"
    current_desktop = "weston"

    def start(self):
        env = dict(self.env, DISPLAY=self.outer_env["DISPLAY"])
        self.session_bus(env)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = env["DBUS_SESSION_BUS_ADDRESS"]
        weston = self.spawn(["weston", "--backend=x11-backend.so", "--width=1024",
                             "--height=768", f"--socket={self.socket}", "--idle-time=0"],
                            env, self.name)
        self.wait_started(weston, self.wayland_ready, "Wayland socket")
        self.env["WAYLAND_DISPLAY"] = self.socket
        # weston ignores pointer motion until the pointer first enters one of its surfaces.
        wait_for(lambda: self.shows_panel(), timeout=STARTUP, what="weston's panel")
        self.move(512, 400)
        self.move(512, 384)

    def shows_panel(self):
        shot = self.screenshot()
        return shot.at(512, 400) != (0, 0, 0)


class Sway(Desktop):
    """sway with its own configuration, as the unprivileged user it insists on."""

    name = "sway"
    current_desktop = "sway"

    def __init__(self):
        self.user = sway_user()
        super().__init__()

    def start(self):
        env = dict(self.env, DISPLAY=self.outer_env["DISPLAY"], WLR_BACKENDS="x11",
                   WLR_RENDERER="pixman", WLR_LIBINPUT_NO_DEVICES="1")
        self.session_bus(env)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = env["DBUS_SESSION_BUS_ADDRESS"]
        # Its own configuration, and then a note of what it tells the programs it starts: the
        # X display of its Xwayland and its IPC socket.
        told = os.path.join(self.runtime, "display")
        config = os.path.join(self.runtime, "config")
        with open(config, "w") as f:
            f.write(f"include /etc/sway/config\nexec echo $DISPLAY $SWAYSOCK > {told}\n")
        sway = self.spawn(["sway", "--config", config], env, self.name)
        self.socket = self.wait_started(sway, self.sway_socket, "Wayland socket")
        self.env["WAYLAND_DISPLAY"] = self.socket
        # Its Xwayland admits only the user, so the test's own connection stays on the Xvfb.
        display, self.env["SWAYSOCK"] = self.wait_started(sway, lambda: told_words(told, 2),
                                                          "X11 display and IPC socket")
        self.x_number = display[1:]
        self.env["DISPLAY"] = display

    def sway_socket(self):
        names = [n for n in os.listdir(self.runtime) if n.startswith("wayland-")
                 and not n.endswith(".lock")]
        return names[0] if names else None



def paint_root(display, colour=WALLPAPER):
    """A window manager without a wallpaper of its own shows the root: one colour, to tell it from
    a black backdrop."""
    display.root.change_attributes(background_pixel=colour[0] << 16 | colour[1] << 8 | colour[2])
    display.root.clear_area()
    display.x.sync()


# Xorg's dummy driver: outputs DUMMY0 to DUMMY15 of a 2048 x 768 framebuffer. Without the
# preferred mode mutter switches the outputs to 1368 x 768.
XORG_DUMMY = """Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 65536
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Option "PreferredMode" "1024x768"
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2048 768
        Modes "1024x768"
    EndSubSection
EndSection
"""
# The monitors side by side, the left one primary; the left one unplugged; its resolution lowered:
# as xrandr sets them.
XRANDR = {
    "two": ["--output", "DUMMY0", "--mode", "1024x768", "--pos", "0x0", "--primary",
            "--output", "DUMMY1", "--mode", "1024x768", "--right-of", "DUMMY0"],
    "unplugged": ["--output", "DUMMY0", "--off"],
    "lowered": ["--output", "DUMMY0", "--mode", "800x600", "--output", "DUMMY1", "--right-of",
                "DUMMY0"],
}


class DummyOutputs(Display):
    """Xorg with its dummy driver in place of Xvfb, run as root, with two monitors: real RandR
    outputs, which every window manager sees as a user's two screens (monitors a client defines
    on Xvfb are seen by Qt but not by mutter or kwin)."""

    def __init__(self, window_manager=False, screen=None):  # its size is its configuration's
        self.folder = tempfile.mkdtemp(prefix="bitvik-e2e-xorg-")
        config = os.path.join(self.folder, "xorg.conf")
        with open(config, "w") as f:
            f.write(XORG_DUMMY)
        os.mkdir(os.path.join(self.folder, "xorg.conf.d"))
        read, write = os.pipe()
        # Kept where the harness ends its server.
        self.xvfb = subprocess.Popen(
            ["Xorg", "-displayfd", str(write), "-config", config,
             "-configdir", os.path.join(self.folder, "xorg.conf.d"),
             "-logfile", os.path.join(self.folder, "xorg.log"), "-noreset", "-nolisten", "tcp",
             "+extension", "RANDR"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError(f"Xorg did not start:\n{self.xorg_log()}")
        self.env = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM",
                                                                     "QT_SCALE_FACTOR")}
        self.env["DISPLAY"] = ":" + number
        self.x = wait_for(lambda: self._connect(":" + number), what="a connection to Xorg")
        self.root = self.x.screen().root
        self.wm = None
        self.run(["xrandr", "--addmode", "DUMMY1", "1024x768"])
        self.outputs("two")

    def xorg_log(self):
        try:
            with open(os.path.join(self.folder, "xorg.log")) as f:
                return f.read()[-2000:]
        except OSError:
            return ""

    def outputs(self, layout):
        """The outputs set to a layout of XRANDR, and the screen's new size made known to our
        connection, which otherwise keeps the size it was opened with."""
        self.run(["xrandr", *XRANDR[layout]])
        size = self.root.get_geometry()
        screen = self.x.screen()
        screen.width_in_pixels, screen.height_in_pixels = size.width, size.height

    def close(self):
        super().close()
        shutil.rmtree(self.folder, ignore_errors=True)


class OpenboxTwoMonitors(Openbox, DummyOutputs):
    name = "openbox-two-monitors"


class MutterX11TwoMonitors(MutterX11, DummyOutputs):
    name = "mutter-x11-two-monitors"


class KwinX11TwoMonitors(MutterX11, DummyOutputs):
    name = "kwin-x11-two-monitors"
    current_desktop = "KDE"

    def start(self):
        self.env["DISPLAY"] = self.outer_env["DISPLAY"]
        self.session_bus(self.env)
        kwin = self.spawn(["kwin_x11", "--replace"], self.env, self.name)
        self.wait_started(kwin, self.x11_manager_ready, "window manager")
        # Its compositor draws black where Plasma shows its wallpaper.
        stand_in_wallpaper(self.x, 2048, 768)
        wait_for(lambda: self.screenshot().at(1536, 384) == WALLPAPER, timeout=STARTUP,
                 what="the stand-in wallpaper")


class WideXvfb(Display):
    """The Xvfb a nested compositor with two monitors side by side shows them on."""

    def __init__(self, window_manager=False, screen=None):
        super().__init__(window_manager, screen=(2048, 768))


# The layouts of XRANDR as mutter's logical monitors: (x, y, primary, which monitor, its mode).
MUTTER_LAYOUTS = {
    "two": [(0, 0, True, 0, (1024, 768)), (1024, 0, False, 1, (1024, 768))],
    "unplugged": [(0, 0, True, 1, (1024, 768))],
    "lowered": [(0, 0, True, 0, (800, 600)), (800, 0, False, 1, (1024, 768))],
}


class MutterWaylandTwoMonitors(MutterWayland, WideXvfb):
    name = "mutter-wayland-two-monitors"
    modes = "1024x768:800x600"

    def start(self):
        if not self.nested:
            raise unittest.SkipTest("this mutter has no nested mode, and its development kit "
                                    "shows one monitor (GNOME 50)")
        self.env["MUTTER_DEBUG_NUM_DUMMY_MONITORS"] = "2"
        super().start()

    def outputs(self, layout):
        """The monitors set to a layout, as GNOME's display settings set them: the connectors and
        mode names as mutter states them, in its own order."""
        said = self.display_config("GetCurrentState")
        serial = re.match(r"\(uint32 (\d+),", said).group(1)
        starts = list(re.finditer(r"\(\('([^']+)', '[^']*', '[^']*', '[^']*'\), \[", said))
        monitors = []
        for start, end in zip(starts, starts[1:] + [None]):
            text = said[start.end():end.start() if end else len(said)]
            modes = {(int(w), int(h)): name
                     for name, w, h in re.findall(r"\('([^']+)', (\d+), (\d+), ", text)}
            monitors.append((start.group(1), modes))
        logical = ", ".join(
            f"({x}, {y}, 1.0, 0, {str(primary).lower()}, "
            f"[('{monitors[which][0]}', '{monitors[which][1][mode]}', @a{{sv}} {{}})])"
            for x, y, primary, which, mode in MUTTER_LAYOUTS[layout])
        self.display_config("ApplyMonitorsConfig", serial, "1", f"[{logical}]", "@a{sv} {}")

    def display_config(self, method, *arguments):
        return subprocess.run(
            ["gdbus", "call", "--session", "--dest", "org.gnome.Mutter.DisplayConfig",
             "--object-path", "/org/gnome/Mutter/DisplayConfig",
             "--method", "org.gnome.Mutter.DisplayConfig." + method, *arguments],
            env=self.env, capture_output=True, text=True, check=True, timeout=30).stdout


class OddFrames(MutterX11):
    """The window manager of oddframes.py on Xvfb, saying the frame extents `answers` in turn."""

    name = "odd-frames"
    current_desktop = ""
    answers = ()

    def start(self):
        self.env["DISPLAY"] = self.outer_env["DISPLAY"]
        paint_root(self)
        manager = self.spawn([sys.executable, os.path.join(os.path.dirname(__file__),
                                                           "oddframes.py"),
                              *(",".join(map(str, sides)) for sides in self.answers)],
                             self.env, self.name)
        self.wait_started(manager, self.x11_manager_ready, "window manager")


# Frame extents as _NET_FRAME_EXTENTS has them (left, right, top, bottom), each row a window
# manager that says them in turn.
ABSURD = 2 ** 31
ODD_FRAMES = {
    "2_31-every-side": [(ABSURD,) * 4],
    "top-5000": [(0, 0, 5000, 0)],
    "alternating": [(4, 4, 24, 4), (ABSURD,) * 4],  # sane, absurd, sane, ...
}


DESKTOPS = {d.name: d for d in (MutterWayland, MutterX11, KwinWayland, Weston, Sway, IceWM,
                                Openbox)}
TWO_MONITOR_DESKTOPS = {d.name: d for d in (OpenboxTwoMonitors, MutterX11TwoMonitors,
                                              KwinX11TwoMonitors, MutterWaylandTwoMonitors)}
ODD_FRAMES_DESKTOPS = {f"odd-frames-{row}": type("OddFrames", (OddFrames,), {"answers": answers})
                       for row, answers in ODD_FRAMES.items()}
