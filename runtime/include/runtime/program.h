#pragma once

#include <functional>
#include <QString>

namespace tk {

// Thrown by Program::end when the end is only recorded (as in tests), so that the handler that
// ended the program still stops at once.
struct ProgramEnded {};

// The running program: its name, how it reports a failure and how it ends. Every event handler runs
// inside guard(); a run-time failure there is reported and ends the program with status 1.
class Program {
public:
    using Report = std::function<void(const QString& programName, const QString& message)>;
    using End = std::function<void(int status)>;

    // The end may return (as in tests), and the program then counts as ended.
    Program(QString name, Report report, End end);
    virtual ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

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
};

// Stops the process at once: no window is closed, no unload handler runs.
[[noreturn]] void exitProcess(int status);

} // namespace tk
