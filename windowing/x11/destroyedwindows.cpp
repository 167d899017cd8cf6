#include "x11/destroyedwindows.h"

#include <QApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace windowing {

DestroyedWindows::DestroyedWindows() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installNativeEventFilter(this);
}

DestroyedWindows::~DestroyedWindows() {
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

bool DestroyedWindows::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_DESTROY_NOTIFY)
        return false;
    const xcb_window_t destroyed = static_cast<const xcb_destroy_notify_event_t*>(message)->window;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // Our own hiding or deletion destroys only windows that are no longer visible.
        if (window->internalWinId() == destroyed && window->isVisible()) {
            // Closed after the event, outside the window system's own dispatch.
            QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
        }
    }
    return false;
}

} // namespace windowing
