#include "form1.h"

#include "toolkit/program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // Ties the windows to the menu entry, whose icon Wayland shows for them.
    QGuiApplication::setDesktopFileName(QStringLiteral("tralloma"));
    tk::Program program(QStringLiteral("Tralloma"));
    tralloma::Form1 window(program);
    window.loadAndShow();
    return application.exec();
}
