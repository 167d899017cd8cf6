#pragma once

#include <xcb/xcb.h>

namespace tk {

// The X11 atom of a name, interned on the connection; XCB_ATOM_NONE where the server gives none.
xcb_atom_t atom(xcb_connection_t* connection, const char* name);

} // namespace tk
