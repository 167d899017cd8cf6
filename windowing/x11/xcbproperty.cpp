#include "x11/xcbproperty.h"

#include <cstdlib>
#include <cstring>
#include <QGuiApplication>
#include <qguiapplication_platform.h>

namespace windowing {

xcb_connection_t* x11Connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

std::vector<std::uint32_t> property32(xcb_connection_t* connection, xcb_window_t window,
                                      xcb_atom_t name, xcb_atom_t type) {
    const auto cookie = xcb_get_property(connection, 0, window, name, type, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* first = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(first, first + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

} // namespace windowing
