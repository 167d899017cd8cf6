#include "forms/application.h"

#include <QApplication>
#include <QtGlobal>

namespace tk {

namespace {

bool platformChosen(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-platform" || argument == "--platform")
            return true;
    }
    return false;
}

// Where an X server is reachable, X11 lets the program keep its backdrop behind its window, out
// of the taskbar and minimised with it, and place its window; Wayland lets it do none of these.
// sway is the exception: it floats a Wayland window over the backdrop as its transient, an X11
// window only where its size is fixed.
QList<QByteArray> withPlatform(int argc, char** argv) {
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    if (!platformChosen(argc, argv)) {
        const bool x11 =
            !qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("SWAYSOCK");
        arguments << QByteArrayLiteral("-platform")
                  << (x11 ? QByteArrayLiteral("xcb;wayland") : QByteArrayLiteral("wayland;xcb"));
    }
    return arguments;
}

} // namespace

Application::Application(int& argc, char** argv, const QString& desktopFileName)
    : arguments(withPlatform(argc, argv)) {
    for (QByteArray& argument : arguments)
        argumentPointers.push_back(argument.data());
    argumentPointers.push_back(nullptr);
    argumentCount = int(arguments.size());
    application = std::make_unique<QApplication>(argumentCount, argumentPointers.data());
    QGuiApplication::setDesktopFileName(desktopFileName);
}

Application::~Application() = default;

int Application::exec() {
    return application->exec();
}

} // namespace tk
