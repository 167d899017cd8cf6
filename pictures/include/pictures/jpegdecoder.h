#pragma once

// A JPEG decoder in plain C++ (no Qt), so that it may run on a thread started before the
// application object exists, and that a newer request can stop it between two rows.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace tk::jpeg {

// Pixels as stored in the file (not turned upright), 32 bits each as 0xffRRGGBB.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
};

enum class Outcome {
    Decoded,
    Cancelled,
    Failed,
};

// Decodes the file at `eighths` (1, 2, 4 or 8) of its stored size; `cancelled` is looked at
// between rows of the decode. A file beyond the decoder's bounds (too many scans, too large a
// coefficient buffer, a kind it does not take) fails with the reason in `refused`, in Swedish
// (UTF-8); a file that is merely broken fails with `refused` left empty.
Outcome decode(const std::string& path, int eighths, const std::atomic<bool>& cancelled,
               Pixels& out, std::string* refused = nullptr);

// Kept pixels per drawn device pixel, so that a drawing a little larger needs no new decode and
// the smooth scaling down to it has a little to work with.
inline constexpr double margin = 1.25;

// The fewest eighths (1, 2, 4 or 8) at which `across` stored pixels keep enough for a drawing
// `drawnWidth` device pixels wide.
inline int eighthsFor(int across, int drawnWidth) {
    int eighths = 1;
    while (eighths < 8 && (across * eighths + 7) / 8 < drawnWidth * margin)
        eighths *= 2;
    return eighths;
}

} // namespace tk::jpeg
