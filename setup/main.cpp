#include "form1.h"

#include "toolkit/program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    tk::Program program(QStringLiteral("Tralloma"));
    tralloma::Form1 window(program);
    window.loadAndShow();
    return application.exec();
}
