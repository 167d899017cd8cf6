#pragma once

#include "backdropfollower.h"

namespace windowing {

// On X11 the window manager stacks the backdrop below (its window type says so), tells when a
// window is minimised, and keeps the backdrop out of the taskbar when asked before it is shown.
class X11Follower final : public BackdropFollower {
public:
    using BackdropFollower::BackdropFollower;

    void showBackdrop() override;
};

} // namespace windowing
