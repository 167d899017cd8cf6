#pragma once

#include "forms/form.h"
#include "forms/windowed.h"

#include <memory>

namespace tk {

struct PictureBoxDesign {
    Placement placement;
    Appearance appearance = Appearance::ThreeD;
    Color backColor = systemWindowBackground;
    Color foreColor = systemWindowText;
};

// A picture box. The programs keep theirs hidden; a hidden box takes no focus.
class PictureBox {
public:
    PictureBox(Form& form, const PictureBoxDesign& design);
    ~PictureBox();

    bool visible() const;
    // The tests reach the widget through the forms' own controlwidgets.h.
    friend QWidget* widgetOf(const PictureBox& box);

private:
    std::unique_ptr<QWidget> box;
};

} // namespace tk
