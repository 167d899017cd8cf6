#pragma once

#include <functional>
#include <memory>
#include <QString>

namespace tk {

class DestroyedWindows;

// Thrown by Program::end when the end is only recorded (as in tests), so that the handler that
// ended the program still stops at once.
struct ProgramEnded {};

// The running program: its name, its standard error report and its end. Every event handler runs
// inside guard(); a run-time failure there is reported and ends the program with status 1.
class Program {
public:
    using Report = std::function<void(const QString& programName, const QString& message)>;
    using End = std::function<void(int status)>;

    // The real report (stderr line and modal box) and the real end (process exit); a window
    // destroyed by another client is closed as the window system would close it.
    explicit Program(QString name);
    // Replacements, for tests: the end may return, and the program then counts as ended.
    Program(QString name, Report report, End end);
    ~Program();

    const QString& name() const { return programName; }
    bool hasEnded() const { return ended; }

    void guard(const std::function<void()>& handler);
    [[noreturn]] void end(int status);

private:
    QString programName;
    Report report;
    End finish;
    bool ended = false;
    int depth = 0;
    std::unique_ptr<DestroyedWindows> destroyedWindows;
};

// The standard error report: one line on stderr, then a modal message box titled with the
// program's name.
void showErrorReport(const QString& programName, const QString& message);
// Stops the process at once: no window is closed, no unload handler runs.
[[noreturn]] void exitProcess(int status);

} // namespace tk
