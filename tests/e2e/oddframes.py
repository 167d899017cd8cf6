"""A window manager whose word on frames is absurd: it maps and configures windows as they ask,
draws no frame, and says the frame extents it is given (left,right,top,bottom on the command
line): the first in answer to a frame request, then on every window it manages the next of them,
round and round, as it maps or configures the window and, where there are several, every quarter
second. Run as `python3 oddframes.py SIDES...` on $DISPLAY."""

import itertools
import select
import sys

from Xlib import X, Xatom, display


def main(answers):
    x = display.Display()
    root = x.screen().root
    atom = x.intern_atom
    request, extents = atom("_NET_REQUEST_FRAME_EXTENTS"), atom("_NET_FRAME_EXTENTS")
    root.change_attributes(event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
    x.sync()  # fails here while another window manager runs
    root.change_property(atom("_NET_SUPPORTED"), Xatom.ATOM, 32, [request, extents])
    check = root.create_window(-1, -1, 1, 1, 0, X.CopyFromParent)
    for window in (check, root):
        window.change_property(atom("_NET_SUPPORTING_WM_CHECK"), Xatom.WINDOW, 32, [check.id])
    x.sync()
    sides = itertools.cycle(answers)
    managed = set()

    def say(window, sides_said=None):
        window.change_property(extents, Xatom.CARDINAL, 32, sides_said or next(sides))

    while True:
        if not x.pending_events() and not select.select([x], [], [], 0.25)[0]:
            if len(answers) > 1:
                now = next(sides)
                for window in managed:
                    say(window, now)
                x.flush()
            continue
        event = x.next_event()
        # A window gone meanwhile makes an X error that python-xlib reports and goes on past.
        if event.type == X.MapRequest:
            managed.add(event.window)
            say(event.window)
            event.window.map()
        elif event.type == X.DestroyNotify:
            managed.discard(event.window)
        elif event.type == X.ConfigureRequest:
            say(event.window)
            asked = {name: getattr(event, name) for bit, name in (
                (X.CWX, "x"), (X.CWY, "y"), (X.CWWidth, "width"), (X.CWHeight, "height"),
                (X.CWBorderWidth, "border_width"), (X.CWStackMode, "stack_mode"))
                if event.value_mask & bit}
            event.window.configure(**asked)
        elif event.type == X.ClientMessage and event.client_type == request:
            say(event.window, answers[0])
        x.flush()


if __name__ == "__main__":
    main([[int(v) for v in arg.split(",")] for arg in sys.argv[1:]])
