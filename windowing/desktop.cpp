#include "windowing/desktop.h"

#include "keeponscreen.h"
#include "placement.h"
#include "platform.h"
#include "sway/swayfollower.h"
#include "wayland/waylandfollower.h"
#include "x11/destroyedwindows.h"
#include "x11/frameextents.h"
#include "x11/lateframe.h"
#include "x11/x11follower.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace windowing {

namespace {

std::unique_ptr<BackdropFollower> followerOn(Platform platform, QWidget& backdrop) {
    switch (platform) {
    case Platform::X11:
        return std::make_unique<X11Follower>(backdrop);
    case Platform::Wayland:
        return std::make_unique<WaylandFollower>(backdrop);
    case Platform::Sway:
        return std::make_unique<SwayFollower>(backdrop);
    case Platform::Other:
        break;
    }
    return std::make_unique<BackdropFollower>(backdrop);
}

} // namespace

QList<QByteArray> withPlatformChoice(QList<QByteArray> arguments) {
    if (const auto platforms = platformsToTry(Environment::current(), arguments))
        arguments << QByteArrayLiteral("-platform") << *platforms;
    return arguments;
}

void placeMaximised(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->geometry());
}

namespace {

void centre(QWidget& window, QSize designFrame) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->geometry();
    const bool x11 = platform() == Platform::X11;
    // Centred with the frame the window manager will draw; where it does not say, with the
    // design's.
    const std::optional<QMargins> sides =
        x11 ? believableFrame(frameExtents(window), window.size(), available.size()) : std::nullopt;
    if (sides) {
        // The window itself is placed, inside its frame, so that no window manager's reading of
        // a frame's position can shift it.
        window.setGeometry(centredIn(available, window.size(), *sides));
    } else {
        window.move(centredIn(available, window.size() + designFrame, QMargins()).topLeft());
    }
    if (x11)
        centreAgainWhenFramed(window, available, sides);
}

} // namespace

void placeCentred(QWidget& window, QSize designFrame) {
    centre(window, designFrame);
    placeAgainWhenOffScreen(window, [&window, designFrame] { centre(window, designFrame); });
}

Backdrop::Backdrop(QWidget& window) : follower(followerOn(platform(), window)) {}

Backdrop::~Backdrop() = default;

void Backdrop::show() {
    follower->showBackdrop();
}

DestroyedWindowCloser::DestroyedWindowCloser() : destroyed(std::make_unique<DestroyedWindows>()) {}

DestroyedWindowCloser::~DestroyedWindowCloser() = default;

} // namespace windowing
