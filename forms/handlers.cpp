#include "handlers.h"

#include "runtime/program.h"

#include <QAbstractButton>

namespace tk {

void raiseEvent(Program& program, const std::function<void()>& handler) {
    program.guard([&handler] {
        if (handler)
            handler();
    });
}

void raiseOnClick(QAbstractButton& button, Program& program, const std::function<void()>& handler) {
    QObject::connect(&button, &QAbstractButton::clicked, &button,
                     [&program, &handler] { raiseEvent(program, handler); });
}

} // namespace tk
