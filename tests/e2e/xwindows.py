"""The window manager's view of the screen, read and driven through one X connection of the
test's own, opened before any program under test starts: the managed windows, their titles,
processes and states, and the requests a taskbar sends to minimise and restore a window."""

import time

from Xlib import X, Xatom, display as xdisplay, protocol

ICONIC, NORMAL = 3, 1


class XWindows:
    def __init__(self, env):
        self.x = xdisplay.Display(env["DISPLAY"])
        self.root = self.x.screen().root

    def close(self):
        self.x.close()

    def atom(self, name):
        return self.x.intern_atom(name)

    def _property(self, window, name, kind=X.AnyPropertyType):
        try:
            reply = self.x.create_resource_object("window", window).get_full_property(
                self.atom(name), kind)
        except Exception:  # the window is gone
            return None
        return reply.value if reply else None

    def clients(self, stacking=False):
        """The managed top-level windows, in mapping order or bottom to top."""
        name = "_NET_CLIENT_LIST_STACKING" if stacking else "_NET_CLIENT_LIST"
        return list(self._property(self.root, name, Xatom.WINDOW) or [])

    def title(self, window):
        value = self._property(window, "_NET_WM_NAME")
        if value is None:
            value = self._property(window, "WM_NAME")
        if value is None:
            return None
        return value.decode("utf-8", "replace") if isinstance(value, bytes) else value

    def pid(self, window):
        value = self._property(window, "_NET_WM_PID", Xatom.CARDINAL)
        return int(value[0]) if value is not None and len(value) else None

    def windows_of(self, pid):
        return [w for w in self.clients() if self.pid(w) == pid]

    def states(self, window):
        """The _NET_WM_STATE atoms, by name, as the window manager keeps them."""
        return {self.x.get_atom_name(a) for a in self._property(window, "_NET_WM_STATE") or []}

    def wm_state(self, window):
        value = self._property(window, "WM_STATE")
        return int(value[0]) if value is not None and len(value) else None

    def active(self):
        value = self._property(self.root, "_NET_ACTIVE_WINDOW", Xatom.WINDOW)
        return int(value[0]) if value is not None and len(value) else None

    def _send(self, window, name, data):
        event = protocol.event.ClientMessage(
            window=self.x.create_resource_object("window", window), client_type=self.atom(name),
            data=(32, (data + [0] * 5)[:5]))
        self.root.send_event(event, event_mask=X.SubstructureRedirectMask |
                             X.SubstructureNotifyMask)
        self.x.flush()

    def minimise(self, window):
        """As a taskbar or the title bar's button asks for it (ICCCM WM_CHANGE_STATE)."""
        self._send(window, "WM_CHANGE_STATE", [ICONIC])

    def activate(self, window):
        """As a taskbar asks for a window back (_NET_ACTIVE_WINDOW from a pager)."""
        self._send(window, "_NET_ACTIVE_WINDOW", [2, X.CurrentTime, 0])

    def wait(self, condition, timeout=10.0, what="condition"):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(0.05)
        raise AssertionError(f"timed out after {timeout} s waiting for {what}")
