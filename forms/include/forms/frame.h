#pragma once

#include "forms/windowed.h"

#include <memory>
#include <QString>

class QWidget;

namespace tk {

struct FrameDesign {
    Placement placement;
    QString caption;
    FontDesign font;
    Color backColor = systemWindowBackground;
    Color foreColor = systemWindowText;
};

// A frame: a flat line box with its caption in the top edge. It contains the controls placed in
// it, whose positions are measured from its top left corner; option buttons in one frame form
// one group. It takes no focus itself.
class Frame {
public:
    Frame(Form& form, const FrameDesign& design);
    ~Frame();

    QString caption() const;
    Form& form() const { return owner; }
    // The tests reach the widget through the forms' own controlwidgets.h.
    friend QWidget* widgetOf(const Frame& frame);

private:
    class Widget;
    Form& owner;
    std::unique_ptr<Widget> frame;
};

} // namespace tk
