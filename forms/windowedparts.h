#pragma once

#include "forms/color.h"
#include "forms/windowed.h"

class QKeyEvent;
class QWidget;

namespace tk {

class TabOrder;

// Puts a child window at its place (in twips), below the child windows created before it, and
// into its window's Tab order.
void place(QWidget& control, TabOrder& tabOrder, const Placement& placement);
void setColors(QWidget& control, Color back, Color fore);
// Enter or the keypad's Enter, not held down: the key that presses the focused push button.
bool pressesFocusedButton(const QKeyEvent& event);

} // namespace tk
