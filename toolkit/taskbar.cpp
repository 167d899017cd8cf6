#include "taskbar.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <QGuiApplication>
#include <qguiapplication_platform.h>
#include <QWidget>
#include <xcb/xcb.h>

namespace tk {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

} // namespace

void keepOutOfTaskbar(QWidget& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // The offscreen platform answers as X11 too, without a connection.
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const std::array<xcb_atom_t, 2> states{atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                           atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    // Before the window is mapped its _NET_WM_STATE is the client's to write; Qt adds its own
    // states to what it finds there when it maps the window.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, xcb_window_t(window.winId()),
                        atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
    xcb_flush(connection);
}

} // namespace tk
