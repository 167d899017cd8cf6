#include "optionbutton.h"

#include "frame.h"

#include <QRadioButton>

namespace tk {

OptionButton::OptionButton(Frame& frame, const OptionButtonDesign& design)
    : button(std::make_unique<QRadioButton>(design.caption, frame.widget())) {
    button->setFont(toQFont(design.font));
    button->setChecked(design.value);
    setColors(*button, design.backColor, design.foreColor);
    place(*button, frame.form(), design.placement);
}

OptionButton::~OptionButton() = default;

bool OptionButton::value() const {
    return button->isChecked();
}

QString OptionButton::caption() const {
    return button->text();
}

} // namespace tk
