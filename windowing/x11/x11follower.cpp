#include "x11/x11follower.h"

#include "x11/taskbar.h"

namespace windowing {

void X11Follower::showBackdrop() {
    keepOutOfTaskbar(backdrop);
    BackdropFollower::showBackdrop();
}

} // namespace windowing
