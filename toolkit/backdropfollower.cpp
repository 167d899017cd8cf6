#include "backdropfollower.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace tk {

BackdropFollower::BackdropFollower(QWidget& backdrop) : backdrop(backdrop) {
    qApp->installEventFilter(this);
}

bool BackdropFollower::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window && window->isWindow() && window != &backdrop)
            follow(*window);
    }
    return false;
}

void BackdropFollower::follow(QWidget& window) {
    if (!window.isMinimized()) {
        if (backdrop.isMinimized()) {
            backdrop.setWindowState(restored);
            window.raise();
            window.activateWindow();
        }
        return;
    }
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != &backdrop && other->isVisible() && !other->isMinimized())
            return;
    }
    // The window system reports a minimised window as minimised only, maximised or not.
    restored = backdrop.windowState() & ~Qt::WindowMinimized;
    backdrop.setWindowState(restored | Qt::WindowMinimized);
}

} // namespace tk
