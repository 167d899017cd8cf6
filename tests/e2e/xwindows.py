"""The window manager's view of the screen, through the harness's own X connection: the managed
windows, their processes and states, and the requests a taskbar sends to minimise and restore a
window."""

from Xlib import X, protocol

ICONIC, NORMAL = 3, 1


class WindowManager:
    def __init__(self, display):
        self.display = display
        self.x = display.x

    def _first(self, window, name):
        value = self.display.property(window, name)
        return int(value[0]) if value is not None and len(value) else None

    def clients(self, stacking=False):
        """The managed top-level windows, in mapping order or bottom to top."""
        name = "_NET_CLIENT_LIST_STACKING" if stacking else "_NET_CLIENT_LIST"
        return [int(w) for w in self.display.property(self.display.root, name) or []]

    def windows_of(self, pid):
        return [w for w in self.clients() if self._first(w, "_NET_WM_PID") == pid]

    def states(self, window):
        """The _NET_WM_STATE atoms, by name, as the window manager keeps them."""
        atoms = self.display.property(window, "_NET_WM_STATE") or []
        return {self.x.get_atom_name(a) for a in atoms}

    def wm_state(self, window):
        return self._first(window, "WM_STATE")

    def active(self):
        return self._first(self.display.root, "_NET_ACTIVE_WINDOW")

    def _send(self, window, name, data):
        event = protocol.event.ClientMessage(
            window=self.x.create_resource_object("window", window),
            client_type=self.x.intern_atom(name), data=(32, (data + [0] * 5)[:5]))
        self.display.root.send_event(
            event, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        self.x.flush()

    def minimise(self, window):
        """As a taskbar or the title bar's button asks for it (ICCCM WM_CHANGE_STATE)."""
        self._send(window, "WM_CHANGE_STATE", [ICONIC])

    def activate(self, window):
        """As a taskbar asks for a window back (_NET_ACTIVE_WINDOW from a pager)."""
        self._send(window, "_NET_ACTIVE_WINDOW", [2, X.CurrentTime, 0])
