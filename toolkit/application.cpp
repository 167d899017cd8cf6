#include "application.h"

#include <QApplication>

namespace tk {

Application::Application(int& argc, char** argv, const QString& desktopFileName)
    : application(std::make_unique<QApplication>(argc, argv)) {
    QGuiApplication::setDesktopFileName(desktopFileName);
}

Application::~Application() = default;

int Application::exec() {
    return application->exec();
}

} // namespace tk
