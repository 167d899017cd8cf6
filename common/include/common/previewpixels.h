#pragma once

#include "common/storlek.h"
#include "forms/twips.h"

#include <cmath>

namespace common {

// Device pixels across a picture drawn at the preview width: what its first decode must keep.
inline int previewPixels(double devicePixelRatio) {
    return int(std::ceil(previewWidth / tk::twipsPerPixel * devicePixelRatio));
}

} // namespace common
