#include "x11/screensize.h"

#include "x11/xcbproperty.h"

#include <cstdlib>

namespace windowing {

std::optional<QSize> x11ScreenSize() {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_get_geometry_reply_t* reply =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, root), nullptr);
    std::optional<QSize> size;
    if (reply)
        size = QSize(reply->width, reply->height);
    std::free(reply);
    return size;
}

} // namespace windowing
