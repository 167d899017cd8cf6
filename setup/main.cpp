#include "setup/form1.h"
#include "toolkit/application.h"
#include "toolkit/program.h"

int main(int argc, char* argv[]) {
    tk::Application application(argc, argv, QStringLiteral("tralloma"));
    tk::Program program(QStringLiteral("Tralloma"));
    tralloma::Form1 window(program);
    window.loadAndShow();
    return application.exec();
}
