#pragma once

#include "forms/color.h"
#include "forms/form.h"
#include "forms/graphiccontrol.h"

namespace tk {

struct ShapeDesign {
    Bounds bounds;
    bool visible = true;
    Color borderColor = 0;
    int borderWidth = 1; // pixels
};

// A rectangle outline with a transparent interior. It takes no clicks: they reach what lies
// under it.
class Shape final : public GraphicControl {
public:
    Shape(Form& form, const ShapeDesign& design);
    void paint(QPainter& painter, qreal devicePixelRatio) const override;

private:
    bool takesClicks() const override { return false; }
    ShapeDesign design;
};

} // namespace tk
