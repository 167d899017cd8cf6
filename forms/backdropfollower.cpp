#include "backdropfollower.h"

#include "swayipc.h"
#include "taskbar.h"

#include <QApplication>
#include <QDeadlineTimer>
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
// sway takes a command for a window only once the window has drawn its first frame.
constexpr int framelessAfterMs = 50;
constexpr int framelessTries = 40;
// The compositor asks a new window for its first frame at once.
constexpr int firstFrameWaitMs = 2000;
constexpr int firstFrameStepMs = 20;

// sway's criteria for this program's windows that also match the given ones.
QByteArray ofThisProgram(const QByteArray& criteria) {
    return "[pid=" + QByteArray::number(QCoreApplication::applicationPid()) + " " + criteria + "]";
}

} // namespace

BackdropFollower::BackdropFollower(QWidget& backdrop)
    : backdrop(backdrop), wayland(QGuiApplication::platformName() == QLatin1String("wayland")),
      sway(wayland && !qEnvironmentVariableIsEmpty("SWAYSOCK")) {
    qApp->installEventFilter(this);
    repaint.setSingleShot(true);
    repaint.setInterval(repaintAfterMs);
    look.setSingleShot(true);
    look.setInterval(lookAfterMs);
    connect(&repaint, &QTimer::timeout, this, [this] {
        if (left)
            left->update();
        if (sway)
            this->backdrop.update();
    });
    connect(&look, &QTimer::timeout, this, &BackdropFollower::hideIfUnseen);
    frameless.setSingleShot(true);
    frameless.setInterval(framelessAfterMs);
    connect(&frameless, &QTimer::timeout, this, &BackdropFollower::dropSwayFrame);
}

bool BackdropFollower::eventFilter(QObject* watched, QEvent* event) {
    if (sway && event->type() == QEvent::Expose && watched == backdrop.windowHandle() &&
        backdrop.windowHandle()->isExposed()) {
        framelessLeft = framelessTries;
        dropSwayFrame();
        return false;
    }
    if (wayland && event->type() == QEvent::Expose && hidden && left &&
        watched == left->windowHandle() && left->windowHandle()->isExposed()) {
        comeBack(*left);
        return false;
    }
    if (event->type() == QEvent::Expose)
        noteSeen(watched);
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow())
        return false;
    if (sway && event->type() == QEvent::WindowActivate) {
        const QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != window)
            focusSway(*modal);
    }
    if (window == &backdrop)
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
    keepOutOfTaskbar(backdrop);
    backdrop.showMaximized();
    if (sway)
        drawFirstFrame();
}

// sway 1.10 tiles a transient beside a parent that has not drawn yet, as if it had none: the
// program's other windows are shown after the backdrop's first frame.
void BackdropFollower::drawFirstFrame() {
    const QDeadlineTimer deadline(firstFrameWaitMs);
    while (!backdrop.windowHandle()->isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, firstFrameStepMs);
    backdrop.repaint();
}

// sway tiles the backdrop, with a title bar and a border that only its own command takes away, and
// floats the transients above it: tiled windows lie under floating ones, which take the clicks
// from the top down. Over a full-screen window sway 1.7 gives a click to its lowest transient that
// the pointer is in, and sway 1.10 shows none of them.
void BackdropFollower::dropSwayFrame() {
    if (!swayCommand(ofThisProgram("tiling") + " border none") && --framelessLeft > 0)
        frameless.start();
}

// sway lifts the floating window it focuses, a click or the pointer over the game included, and so
// hides the question the game waits for; focusing the question lifts it back.
void BackdropFollower::focusSway(const QWidget& window) {
    const QString title = window.windowTitle();
    if (title.isEmpty() || title.contains(QLatin1Char('"')) || title.contains(QLatin1String("\\E")))
        return;
    swayCommand(ofThisProgram("title=\"^\\Q" + title.toUtf8() + "\\E$\"") + " focus");
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
    // sway stops drawing the backdrop too where it shows another workspace: nothing was minimised.
    if (sway && !backdrop.windowHandle()->isExposed())
        return;
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
