#pragma once

// The most memory the programs let one decoded picture take, counted at 32 bits a pixel as every
// decoder here delivers: the programs' own, so that the same pictures load on every Qt version
// (Qt's default changed from 128 MB to 256 MB). Plain C++, for the early decode too.

#include <cstdint>

namespace tk {

inline constexpr int pictureLimitMegabytes = 128;

inline bool withinPictureLimit(std::int64_t width, std::int64_t height) {
    return 4 * width * height <= std::int64_t(pictureLimitMegabytes) * 1024 * 1024;
}

} // namespace tk
