#include "x11/taskbar.h"

#include "x11/xcbproperty.h"

#include <algorithm>
#include <QWidget>

namespace windowing {

void keepOutOfTaskbar(QWidget& widget) {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    const auto window = xcb_window_t(widget.winId());
    const xcb_atom_t property = atom(connection, "_NET_WM_STATE");
    // Before the window is mapped its _NET_WM_STATE is the client's to write; Qt adds its own
    // states to what it finds there when it maps the window. A window shown again keeps what it
    // had, so each state goes in once.
    std::vector<xcb_atom_t> states = property32(connection, window, property, XCB_ATOM_ATOM);
    for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t state = atom(connection, name);
        if (std::find(states.begin(), states.end(), state) == states.end())
            states.push_back(state);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
    xcb_flush(connection);
}

} // namespace windowing
