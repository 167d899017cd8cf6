#pragma once

#include "forms/windowed.h"

#include <memory>
#include <QString>

class QRadioButton;

namespace tk {

class Frame;

struct OptionButtonDesign {
    Placement placement; // inside the frame
    QString caption;
    FontDesign font;
    Color backColor = systemButtonFace;
    Color foreColor = systemButtonText;
    bool value = false;
};

// An option button in a frame. Choosing one clears the others of the same frame, and only those;
// the user can move the choice but not clear it.
class OptionButton {
public:
    OptionButton(Frame& frame, const OptionButtonDesign& design);
    ~OptionButton();

    bool value() const;
    QString caption() const;

    // The tests reach the widget through the forms' own controlwidgets.h.
    friend QRadioButton* widgetOf(const OptionButton& button);

private:
    std::unique_ptr<QRadioButton> button;
};

} // namespace tk
