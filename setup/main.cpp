#include "forms/application.h"
#include "forms/desktopprogram.h"
#include "setup/form1.h"

int main(int argc, char* argv[]) {
    tk::Application application(argc, argv, QStringLiteral("tralloma"));
    tk::DesktopProgram program(QStringLiteral("Tralloma"));
    tralloma::Form1 window(program);
    window.loadAndShow();
    return application.exec();
}
