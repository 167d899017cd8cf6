#include "wayland/waylandfollower.h"

#include <QWidget>
#include <QWindow>

namespace windowing {

namespace {

// A compositor stops answering a hidden window's frames; Qt counts it unexposed 100 ms after an
// unanswered frame.
// mutter still draws a window while it animates its minimising, so the question is asked again.
constexpr int repaintAfterMs = 200;
constexpr int lookAfterMs = 600;
constexpr int looks = 3;

} // namespace

WaylandFollower::WaylandFollower(QWidget& backdrop) : BackdropFollower(backdrop) {
    repaint.setSingleShot(true);
    repaint.setInterval(repaintAfterMs);
    look.setSingleShot(true);
    look.setInterval(lookAfterMs);
    connect(&repaint, &QTimer::timeout, this, &WaylandFollower::askForFrames);
    connect(&look, &QTimer::timeout, this, &WaylandFollower::hideIfUnseen);
}

bool WaylandFollower::exposed(QObject* surface) {
    if (!hidden || !left || surface != left->windowHandle() || !left->windowHandle()->isExposed())
        return false;
    comeBack(*left);
    return true;
}

void WaylandFollower::shown(QWidget& window) {
    backdrop.winId();
    window.winId();
    window.windowHandle()->setTransientParent(backdrop.windowHandle());
}

// A repaint asks the compositor for a frame; one that no longer shows the window answers none.
void WaylandFollower::deactivated(QWidget& window) {
    left = &window;
    looksLeft = looks;
    repaint.start();
    look.start();
}

void WaylandFollower::askForFrames() {
    if (left)
        left->update();
}

void WaylandFollower::hideIfUnseen() {
    if (!left || hidden || !left->isVisible() || left->isActiveWindow())
        return;
    if (left->windowHandle()->isExposed()) {
        if (--looksLeft > 0) {
            repaint.start();
            look.start();
        }
        return;
    }
    if (backdropAway())
        return;
    hidden = true;
    backdrop.hide();
}

// The compositor links a transient to its parent when the window is shown, so the window is
// shown again over the backdrop's new surface.
void WaylandFollower::comeBack(QWidget& window) {
    hidden = false;
    window.hide();
    showBackdrop();
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace windowing
