#pragma once

#include <memory>
#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

class QApplication;

namespace tk {

// The program's connection to the window system and its event loop: made once at the top of
// main(), before any window, and kept until the loop has ended.
class Application {
public:
    // Unless the user chose a platform, X11 is preferred where an X server is reachable.
    // `desktopFileName` ties the windows to the menu entry, whose icon Wayland shows for them.
    Application(int& argc, char** argv, const QString& desktopFileName);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the event loop until the program quits; returns its exit status.
    int exec();

private:
    // Qt keeps the argument count and list it was given, and takes its own options out of them.
    QList<QByteArray> arguments;
    std::vector<char*> argumentPointers;
    int argumentCount = 0;
    std::unique_ptr<QApplication> application;
};

} // namespace tk
