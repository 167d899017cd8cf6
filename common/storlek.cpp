#include "storlek.h"

#include "toolkit/image.h"

#include <algorithm>

namespace common {

void storlek(tk::Image& image, Int32& width, Int32& height) {
    image.setStretch(true);
    const Int32 factor = std::max(Int32(1), Int32::round(width.value() / double(previewWidth)));
    height = Int32(Int16::round(height.value() / double(factor.value())).value());
    image.setWidth(previewWidth);
    image.setHeight(float(height.value()));
}

} // namespace common
