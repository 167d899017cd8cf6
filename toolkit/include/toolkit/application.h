#pragma once

#include <memory>
#include <QString>

class QApplication;

namespace tk {

// The program's connection to the window system and its event loop: made once at the top of
// main(), before any window, and kept until the loop has ended.
class Application {
public:
    // `desktopFileName` ties the windows to the menu entry, whose icon Wayland shows for them.
    Application(int& argc, char** argv, const QString& desktopFileName);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the event loop until the program quits; returns its exit status.
    int exec();

private:
    std::unique_ptr<QApplication> application;
};

} // namespace tk
