"""The accessibility bus a screen reader reads, as a desktop session starts it: a private session
bus and at-spi2-core's bus launcher on it. The programs (Qt 6.4) and libatspi both ask the
launcher on the session bus for the accessibility bus; Qt connects to a bus named in
AT_SPI_BUS_ADDRESS but never registers there, so none is named. Each process starts in a session
of its own and is ended with everything it started."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

from gi.repository import Gio, GLib

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
TIMEOUT = 15.0


class BusError(AssertionError):
    """The bus could not be started: the test fails and says why."""


class AccessibilityBus:
    def __init__(self):
        self.processes = []
        # The launcher puts its socket in the runtime folder: a private one keeps runs apart.
        self.runtime = tempfile.mkdtemp(prefix="bitvik-atspi-")
        try:
            self._start()
        except BaseException:
            self.close()
            raise

    def _start(self):
        if not os.access(LAUNCHER, os.X_OK):
            raise BusError(f"{LAUNCHER} is missing: install at-spi2-core")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "AT_SPI_BUS_ADDRESS"):
            env.pop(name, None)
        session = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env)
        address = session.stdout.readline().decode().strip()
        if not address:
            raise BusError("dbus-daemon printed no session bus address")
        env["DBUS_SESSION_BUS_ADDRESS"] = address
        self._spawn([LAUNCHER, "--launch-immediately"], env)
        self._wait_for_launcher(address)
        # What the programs and this process need to find the bus.
        self.env = {"DBUS_SESSION_BUS_ADDRESS": address, "XDG_RUNTIME_DIR": self.runtime,
                    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}

    def _spawn(self, argv, env):
        process = subprocess.Popen(argv, env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
        self.processes.append(process)
        return process

    def _wait_for_launcher(self, address):
        """Until the launcher answers on the session bus with the accessibility bus's address."""
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                 | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        session = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)
        deadline = time.monotonic() + TIMEOUT
        said = ""
        try:
            while time.monotonic() < deadline:
                try:
                    session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                      "GetAddress", None, GLib.VariantType("(s)"),
                                      Gio.DBusCallFlags.NONE, 2000, None)
                    return
                except GLib.Error as error:
                    said = error.message
                if any(p.poll() is not None for p in self.processes):
                    raise BusError(f"the accessibility bus launcher ended: {said}")
                time.sleep(0.1)
        finally:
            session.close_sync(None)
        raise BusError(f"no accessibility bus within {TIMEOUT} s: {said}")

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
            process.stdout.close()
        self.processes = []
        shutil.rmtree(self.runtime, True)
