#include "backdropfollower.h"

#include "taskbar.h"

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
        if (hidden) {
            hidden = false;
            keepOutOfTaskbar(backdrop);
            backdrop.show();
            window.raise();
            window.activateWindow();
        }
        return;
    }
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != &backdrop && other->isVisible() && !other->isMinimized())
            return;
    }
    // Hidden, not minimised: a window manager may refuse to minimise a window that has no
    // taskbar entry to bring it back from.
    hidden = backdrop.isVisible();
    backdrop.hide();
}

} // namespace tk
