#include "forms/application.h"

#include "windowing/desktop.h"

#include <QApplication>

namespace tk {

namespace {

QList<QByteArray> argumentsOf(int argc, char** argv) {
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return arguments;
}

} // namespace

Application::Application(int& argc, char** argv, const QString& desktopFileName)
    : arguments(windowing::withPlatformChoice(argumentsOf(argc, argv))) {
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
