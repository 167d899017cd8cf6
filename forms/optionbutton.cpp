#include "forms/optionbutton.h"

#include "formparts.h"
#include "forms/frame.h"
#include "windowedparts.h"

#include <QRadioButton>

namespace tk {

OptionButton::OptionButton(Frame& frame, const OptionButtonDesign& design)
    : button(std::make_unique<QRadioButton>(design.caption, widgetOf(frame))) {
    button->setFont(toQFont(design.font));
    button->setChecked(design.value);
    // Tab reaches a group at its chosen button only; Qt then moves that stop along with the
    // focus, which the arrow keys move together with the choice.
    button->setFocusPolicy(design.value ? Qt::StrongFocus : Qt::ClickFocus);
    setColors(*button, design.backColor, design.foreColor);
    place(*button, tabOrderOf(frame.form()), design.placement);
}

OptionButton::~OptionButton() = default;

bool OptionButton::value() const {
    return button->isChecked();
}

QString OptionButton::caption() const {
    return button->text();
}

QRadioButton* widgetOf(const OptionButton& button) {
    return button.button.get();
}

} // namespace tk
