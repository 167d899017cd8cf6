#include "backdropfollower.h"

#include "taskbar.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace tk {

namespace {

// A compositor stops answering a hidden window's frames; Qt counts it unexposed 100 ms after an
// unanswered frame.
// mutter still draws a window while it animates its minimising, so the question is asked again.
constexpr int repaintAfterMs = 200;
constexpr int lookAfterMs = 600;
constexpr int looks = 3;

} // namespace

BackdropFollower::BackdropFollower(QWidget& backdrop)
    : backdrop(backdrop), wayland(QGuiApplication::platformName() == QLatin1String("wayland")) {
    qApp->installEventFilter(this);
    repaint.setSingleShot(true);
    repaint.setInterval(repaintAfterMs);
    look.setSingleShot(true);
    look.setInterval(lookAfterMs);
    connect(&repaint, &QTimer::timeout, this, [this] {
        if (left)
            left->update();
    });
    connect(&look, &QTimer::timeout, this, &BackdropFollower::hideIfUnseen);
}

bool BackdropFollower::eventFilter(QObject* watched, QEvent* event) {
    if (wayland && event->type() == QEvent::Expose && hidden && left &&
        watched == left->windowHandle() && left->windowHandle()->isExposed()) {
        comeBack(*left);
        return false;
    }
    if (event->type() == QEvent::Expose)
        noteSeen(watched);
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow() || window == &backdrop)
        return false;
    if (event->type() == QEvent::WindowStateChange)
        follow(*window);
    else if (wayland && event->type() == QEvent::Show && !window->parentWidget())
        stackAbove(*window);
    else if (wayland && event->type() == QEvent::WindowDeactivate && !hidden)
        watchAfterLeaving(*window);
    return false;
}

void BackdropFollower::showBackdrop() {
    // sway tiles a maximised window, with a title bar, and floats the program's other windows
    // above a full-screen one only where they are its transients: on Wayland. weston, though,
    // lifts a full-screen window over every other once the focus leaves them.
    if (wayland && !qEnvironmentVariableIsEmpty("SWAYSOCK")) {
        backdrop.showFullScreen();
        return;
    }
    keepOutOfTaskbar(backdrop);
    backdrop.showMaximized();
}

void BackdropFollower::follow(QWidget& window) {
    if (!window.isMinimized()) {
        if (hidden) {
            hidden = false;
            showBackdrop();
            window.raise();
            window.activateWindow();
        }
        return;
    }
    // mutter 48 calls a window minimised until its frame is ready, before it has ever shown it.
    if (!seen.contains(&window))
        return;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != &backdrop && other->isVisible() && !other->isMinimized())
            return;
    }
    // Hidden, not minimised: a window manager may refuse to minimise a window that has no
    // taskbar entry to bring it back from.
    hidden = backdrop.isVisible();
    backdrop.hide();
}

void BackdropFollower::noteSeen(const QObject* exposed) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowHandle() == exposed && window->windowHandle()->isExposed() &&
            !seen.contains(window))
            seen.append(window);
    }
}

void BackdropFollower::stackAbove(QWidget& window) {
    backdrop.winId();
    window.winId();
    window.windowHandle()->setTransientParent(backdrop.windowHandle());
}

// A repaint asks the compositor for a frame; one that no longer shows the window answers none.
void BackdropFollower::watchAfterLeaving(QWidget& window) {
    left = &window;
    looksLeft = looks;
    repaint.start();
    look.start();
}

void BackdropFollower::hideIfUnseen() {
    if (!left || hidden || !left->isVisible() || left->isActiveWindow())
        return;
    if (left->windowHandle()->isExposed()) {
        if (--looksLeft > 0) {
            repaint.start();
            look.start();
        }
        return;
    }
    hidden = true;
    backdrop.hide();
}

// The compositor links a transient to its parent when the window is shown, so the window is
// shown again over the backdrop's new surface.
void BackdropFollower::comeBack(QWidget& window) {
    hidden = false;
    window.hide();
    showBackdrop();
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace tk
