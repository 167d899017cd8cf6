#include "forms/desktopprogram.h"

#include "windowing/desktop.h"

#include <cstdio>
#include <QApplication>
#include <QMessageBox>

namespace tk {

DesktopProgram::DesktopProgram(QString name)
    : Program(std::move(name), showErrorReport, exitProcess),
      destroyedWindows(std::make_unique<windowing::DestroyedWindowCloser>()) {}

DesktopProgram::~DesktopProgram() = default;

void showErrorReport(const QString& programName, const QString& message) {
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(programName), qUtf8Printable(message));
    std::fflush(stderr);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QMessageBox::critical(nullptr, programName, message);
}

} // namespace tk
