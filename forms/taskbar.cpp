#include "taskbar.h"

#include "xcbatom.h"

#include <algorithm>
#include <cstdlib>
#include <QGuiApplication>
#include <qguiapplication_platform.h>
#include <QWidget>
#include <vector>
#include <xcb/xcb.h>

namespace tk {

void keepOutOfTaskbar(QWidget& widget) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // The offscreen platform answers as X11 too, without a connection.
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto window = xcb_window_t(widget.winId());
    const xcb_atom_t property = atom(connection, "_NET_WM_STATE");
    // Before the window is mapped its _NET_WM_STATE is the client's to write; Qt adds its own
    // states to what it finds there when it maps the window. A window shown again keeps what it
    // had, so each state goes in once.
    std::vector<xcb_atom_t> states;
    const auto cookie = xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        const auto* first = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        states.assign(first, first + xcb_get_property_value_length(reply) / 4);
        std::free(reply);
    }
    for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t state = atom(connection, name);
        if (std::find(states.begin(), states.end(), state) == states.end())
            states.push_back(state);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
    xcb_flush(connection);
}

} // namespace tk
