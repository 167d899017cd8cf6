#include "backdropfollower.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace windowing {

BackdropFollower::BackdropFollower(QWidget& backdrop) : backdrop(backdrop) {
    qApp->installEventFilter(this);
}

bool BackdropFollower::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose) {
        if (exposed(watched))
            return false;
        noteSeen(watched);
    }
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow())
        return false;
    if (event->type() == QEvent::WindowActivate)
        activated(*window);
    if (window == &backdrop)
        return false;
    if (event->type() == QEvent::WindowStateChange)
        follow(*window);
    else if (event->type() == QEvent::Show && !window->parentWidget())
        shown(*window);
    else if (event->type() == QEvent::WindowDeactivate && !hidden)
        deactivated(*window);
    return false;
}

void BackdropFollower::showBackdrop() {
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

} // namespace windowing
