#pragma once

#include "common/checkedint.h"
#include "forms/twips.h"

#include <cmath>

namespace tk {
class Image;
}

namespace common {

// The width, in twips, at which both programs show a picture.
inline constexpr float previewWidth = 4455;

// Device pixels across a picture drawn at the preview width: what its first decode must keep.
inline int previewPixels(double devicePixelRatio) {
    return int(std::ceil(previewWidth / tk::twipsPerPixel * devicePixelRatio));
}

// The gap, in twips, kept between a picture and the buttons below it: the same gap the game
// leaves between the window's top and the picture.
inline constexpr int buttonGap = 70;

// The height a picture may take when its top edge stands at `top` and the buttons below it
// start at `buttonsTop`.
constexpr int roomAbove(int buttonsTop, int top) {
    return buttonsTop - buttonGap - top;
}

// Scales the image control to exactly 4455 twips wide by a whole factor: the height is divided
// by the factor and written back through `height`; `width` is the picture's width and is not
// changed. Widths are carried in 32 bits, so a camera photo scales too; the factor is at least 1,
// so a small picture is drawn at its own height. A picture that then stands higher than `room`
// is shrunk whole, keeping the proportions the factor gave it, to exactly `room` high, and that
// height is the one written back.
void storlek(tk::Image& image, Int32& width, Int32& height, int room);

} // namespace common
