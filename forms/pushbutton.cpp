#include "forms/pushbutton.h"

#include "formparts.h"
#include "forms/form.h"
#include "handlers.h"
#include "windowedparts.h"

#include <QKeyEvent>
#include <QPushButton>

namespace tk {

namespace {

// Enter presses the focused button, as Space does; it is still nobody's default, so Enter with
// the focus elsewhere presses nothing.
class EnterPressedButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (pressesFocusedButton(*event))
            click();
        else
            QPushButton::keyPressEvent(event);
    }
};

} // namespace

PushButton::PushButton(Form& form, const PushButtonDesign& design)
    : button(std::make_unique<EnterPressedButton>(design.caption, form.widget())) {
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFont(toQFont(design.font));
    place(*button, tabOrderOf(form), design.placement);
    Program& program = form.program();
    raiseOnClick(*button, program, onClick);
}

PushButton::~PushButton() = default;

QString PushButton::caption() const {
    return button->text();
}

void PushButton::setClickHandler(std::function<void()> handler) {
    onClick = std::move(handler);
}

QPushButton* widgetOf(const PushButton& button) {
    return button.button.get();
}

} // namespace tk
