#pragma once

#include "forms/color.h"
#include "forms/font.h"

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

} // namespace tk
