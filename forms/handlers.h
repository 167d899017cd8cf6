#pragma once

#include <functional>

class QAbstractButton;

namespace tk {

class Program;

// Runs the handler the program gave an event, inside the program's guard: a run-time failure is
// reported and ends the program, and once the program has ended no handler runs. An event that
// was given no handler raises nothing.
void raiseEvent(Program& program, const std::function<void()>& handler);

// Raises `handler` at each click of `button`. It is read at the click, so that the program may
// give or change it at any time; it must live as long as the button.
void raiseOnClick(QAbstractButton& button, Program& program, const std::function<void()>& handler);

} // namespace tk
