#include "pushbutton.h"

#include "form.h"
#include "program.h"

#include <QPushButton>

namespace tk {

PushButton::PushButton(Form& form, const PushButtonDesign& design)
    : button(std::make_unique<QPushButton>(design.caption, form.widget())) {
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFont(toQFont(design.font));
    place(*button, form, design.placement);
    Program& program = form.program();
    QObject::connect(button.get(), &QPushButton::clicked, button.get(), [this, &program] {
        program.guard([this] {
            if (onClick)
                onClick();
        });
    });
}

PushButton::~PushButton() = default;

QString PushButton::caption() const {
    return button->text();
}

void PushButton::setClickHandler(std::function<void()> handler) {
    onClick = std::move(handler);
}

} // namespace tk
