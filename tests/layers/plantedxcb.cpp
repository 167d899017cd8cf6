// A forms file that speaks X11 itself: only the windowing library's x11 part may.
#include <xcb/xcb.h>
