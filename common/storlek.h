#pragma once

#include "checkedint.h"

namespace tk {
class Image;
}

namespace common {

// The width, in twips, at which both programs show a picture.
inline constexpr float previewWidth = 4455;

// Scales the image control to exactly 4455 twips wide by a whole factor: the height is divided
// by the factor and written back through `height`; `width` is the picture's width and is not
// changed. Widths are carried in 32 bits, so a camera photo scales too; the factor is at least 1,
// so a small picture is drawn at its own height.
void storlek(tk::Image& image, Int32& width, Int32& height);

} // namespace common
