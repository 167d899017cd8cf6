#pragma once

#include <cstdint>
#include <vector>
#include <xcb/xcb.h>

namespace windowing {

// The application's X11 connection; none on another platform (the offscreen one answers as X11
// too, without a connection).
xcb_connection_t* x11Connection();
// The X11 atom of a name, interned on the connection; XCB_ATOM_NONE where the server gives none.
xcb_atom_t atom(xcb_connection_t* connection, const char* name);
// The 32-bit values of a window's property of the given type; none where it has no such property.
std::vector<std::uint32_t> property32(xcb_connection_t* connection, xcb_window_t window,
                                      xcb_atom_t name, xcb_atom_t type);

} // namespace windowing
