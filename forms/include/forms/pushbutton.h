#pragma once

#include "forms/windowed.h"

#include <functional>
#include <memory>
#include <QString>

class QPushButton;

namespace tk {

struct PushButtonDesign {
    Placement placement;
    QString caption;
    FontDesign font;
};

// A push button, pressed by Space or Enter while it has the focus. It is never a window's default
// or cancel button: Enter and Escape pressed elsewhere in the window leave it alone.
class PushButton {
public:
    PushButton(Form& form, const PushButtonDesign& design);
    ~PushButton();

    QString caption() const;
    void setClickHandler(std::function<void()> handler);

    // The tests reach the widget through the forms' own controlwidgets.h.
    friend QPushButton* widgetOf(const PushButton& button);

private:
    std::unique_ptr<QPushButton> button;
    std::function<void()> onClick;
};

} // namespace tk
