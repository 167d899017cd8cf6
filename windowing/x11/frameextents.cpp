#include "x11/frameextents.h"

#include "x11/xcbproperty.h"

#include <algorithm>
#include <chrono>
#include <QWidget>
#include <thread>

namespace windowing {

namespace {

std::optional<QMargins> saidExtents(xcb_connection_t* connection, xcb_window_t window) {
    const auto sides =
        property32(connection, window, atom(connection, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
    if (sides.size() != 4)
        return std::nullopt;
    return QMargins(int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3]));
}

} // namespace

std::optional<QMargins> frameExtentsNow(QWidget& window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return std::nullopt;
    return saidExtents(connection, xcb_window_t(window.winId()));
}

std::optional<QMargins> frameExtents(QWidget& window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const auto supported =
        property32(connection, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (std::find(supported.begin(), supported.end(), request) == supported.end())
        return std::nullopt;

    const auto id = xcb_window_t(window.winId());
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    // The answer is a property on the window; a window manager answers within a few
    // milliseconds, and one that does not leaves the window where it would have been.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (const auto sides = saidExtents(connection, id))
            return sides;
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    return std::nullopt;
}

} // namespace windowing
