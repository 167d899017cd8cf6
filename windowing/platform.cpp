#include "platform.h"

#include "sway/swayipc.h"

#include <QGuiApplication>
#include <QtGlobal>

namespace windowing {

Environment Environment::current() {
    return {.display = qgetenv("DISPLAY"),
            .waylandDisplay = qgetenv("WAYLAND_DISPLAY"),
            .qtPlatform = qgetenv("QT_QPA_PLATFORM"),
            .swaySocket = swaySocketPath()};
}

// Where an X server is reachable, X11 lets the program keep its backdrop behind its window, out
// of the taskbar and minimised with it, and place its window; Wayland lets it do none of these.
// sway is the exception: it floats a Wayland window over the backdrop as its transient, an X11
// window only where its size is fixed.
std::optional<QByteArray> platformsToTry(const Environment& environment,
                                         const QList<QByteArray>& arguments) {
    if (!environment.qtPlatform.isEmpty())
        return std::nullopt;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "-platform" || arguments[i] == "--platform")
            return std::nullopt;
    }
    const bool x11 = !environment.display.isEmpty() && environment.swaySocket.isEmpty();
    return x11 ? QByteArrayLiteral("xcb;wayland") : QByteArrayLiteral("wayland;xcb");
}

Platform platformOf(QStringView qtPlatformName, const Environment& environment) {
    if (qtPlatformName == u"xcb")
        return Platform::X11;
    if (qtPlatformName == u"wayland")
        return environment.swaySocket.isEmpty() ? Platform::Wayland : Platform::Sway;
    return Platform::Other;
}

Platform platform() {
    return platformOf(QGuiApplication::platformName(), Environment::current());
}

} // namespace windowing
