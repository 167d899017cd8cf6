#pragma once

class QWidget;

namespace windowing {

// Asks the X11 window manager to leave a top-level window out of the taskbar and the pager (and
// so out of Alt+Tab). Call it before the window is first shown; elsewhere than on X11 it does
// nothing.
void keepOutOfTaskbar(QWidget& window);

} // namespace windowing
