#include "runtime/program.h"

#include "runtime/runtimeerror.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace tk {

Program::Program(QString name, Report report, End end)
    : programName(std::move(name)), report(std::move(report)), finish(std::move(end)) {}

Program::~Program() = default;

void Program::guard(const std::function<void()>& handler) {
    if (ended)
        return;
    struct Nesting {
        int& depth;
        explicit Nesting(int& d) : depth(++d) {}
        ~Nesting() { --depth; }
    } nesting(depth);

    QString failure;
    try {
        handler();
        return;
    } catch (const ProgramEnded&) {
        // An inner guard (a modal loop inside a handler) passes the end on to the outer one.
        if (depth > 1)
            throw;
        return;
    } catch (const RuntimeError& error) {
        failure = error.message();
    } catch (const std::bad_alloc&) {
        failure = QStringLiteral("Minnet räcker inte till för att fortsätta.");
    }
    report(programName, failure);
    try {
        end(1);
    } catch (const ProgramEnded&) {
        if (depth > 1)
            throw;
    }
}

void Program::end(int status) {
    ended = true;
    finish(status);
    throw ProgramEnded{};
}

void exitProcess(int status) {
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace tk
