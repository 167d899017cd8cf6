#pragma once

#include "color.h"
#include "font.h"

class QKeyEvent;
class QWidget;

namespace tk {

class Form;

// What every windowed control is placed by: a rectangle in twips inside its container.
struct Placement {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    int tabIndex = 0;
    bool visible = true;
};

// Puts a child window at its place (in twips), below the child windows created before it, and
// into its form's Tab order.
void place(QWidget& control, Form& form, const Placement& placement);
void setColors(QWidget& control, Color back, Color fore);
// Enter or the keypad's Enter, not held down: the key that presses the focused push button.
bool pressesFocusedButton(const QKeyEvent& event);

} // namespace tk
