#pragma once

#include <optional>
#include <QByteArray>
#include <QList>
#include <QStringView>

namespace windowing {

// The window system the program's windows live on. Qt takes it once, when the application object
// is made, from the platforms the program offers; every part of this library asks `platform()`.
enum class Platform {
    X11,     // an X server, with the window manager's word on frames, stacking and taskbar
    Wayland, // a compositor that places and stacks the windows as it likes
    Sway,    // sway on Wayland, which takes commands through its IPC socket
    Other,   // no desktop at all (the offscreen platform of the tests)
};

// What the choice reads of the environment; read in one place, `current()`.
struct Environment {
    QByteArray display;        // DISPLAY: an X server, also GNOME's and KDE's Xwayland
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray qtPlatform;     // QT_QPA_PLATFORM: the user's own choice
    QByteArray swaySocket;     // sway's IPC socket, where sway runs the session

    static Environment current();
};

// The platforms for Qt to try, in order, as the argument of -platform; none where the user chose
// one, in QT_QPA_PLATFORM or with -platform among the program's arguments.
std::optional<QByteArray> platformsToTry(const Environment& environment,
                                         const QList<QByteArray>& arguments);
// The platform of the one Qt took.
Platform platformOf(QStringView qtPlatformName, const Environment& environment);
// The running program's platform.
Platform platform();

} // namespace windowing
