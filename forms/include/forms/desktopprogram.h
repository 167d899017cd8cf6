#pragma once

#include "runtime/program.h"

#include <memory>
#include <QString>

namespace windowing {
class DestroyedWindowCloser;
}

namespace tk {

// The program as it runs on the desktop: a failure gets the standard error report, the end exits
// the process, and a window destroyed by another client is closed as the window system would
// close it.
class DesktopProgram : public Program {
public:
    explicit DesktopProgram(QString name);
    ~DesktopProgram() override;

private:
    std::unique_ptr<windowing::DestroyedWindowCloser> destroyedWindows;
};

// The standard error report: one line on stderr, then a modal message box titled with the
// program's name.
void showErrorReport(const QString& programName, const QString& message);

} // namespace tk
