#include "common/storlek.h"

#include "forms/image.h"

#include <algorithm>

namespace common {

void storlek(tk::Image& image, Int32& width, Int32& height, int room) {
    image.setStretch(true);
    const Int32 factor = std::max(Int32(1), Int32::round(width.value() / double(previewWidth)));
    height = Int32(Int16::round(height.value() / double(factor.value())).value());
    if (height.value() <= room) {
        image.setWidth(previewWidth);
        image.setHeight(float(height.value()));
        return;
    }
    // An upright photo would otherwise run under the buttons, where its cells cannot be reached.
    image.setWidth(float(double(previewWidth) * room / height.value()));
    height = room;
    image.setHeight(float(room));
}

} // namespace common
