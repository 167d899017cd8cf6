#pragma once

#include "forms/form.h"

#include <QtCore/qnamespace.h>

class QWidget;

namespace tk {

// A window as its design values make it: its window flags, the frame the design platform drew
// around it, and where it first appears.
Qt::WindowFlags windowFlags(const FormDesign& design);
// The design platform's borders, left and right together, in pixels.
int designFramePixels(BorderStyle borderStyle);
void placeAtStart(QWidget& window, const FormDesign& design);

} // namespace tk
