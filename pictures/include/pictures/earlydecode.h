#pragma once

// A picture file's decode started before the application object exists, on a thread of its own
// that uses no Qt I/O, so that the decode overlaps the program's start-up.

#include "pictures/jpegdecoder.h"

#include <atomic>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace tk {

class EarlyDecode {
public:
    struct Result {
        int eighths;
        jpeg::Pixels pixels;
    };

    // Starts decoding the JPEG file by that name, fine enough for a drawing `drawnWidth` device
    // pixels wide; nothing is started for a file the thumbnail cache holds, or that is not a
    // decodable JPEG.
    EarlyDecode(std::string fileName, int drawnWidth);
    ~EarlyDecode();
    EarlyDecode(const EarlyDecode&) = delete;
    EarlyDecode& operator=(const EarlyDecode&) = delete;

    // The decoded pixels, when they are of the file by that name as it is now; otherwise
    // nothing, and the decode is stopped.
    std::optional<Result> take(const std::string& fileName);

private:
    void run(int drawnWidth);

    std::string name;
    std::atomic<bool> cancelled{false};
    struct stat seen = {};
    std::optional<Result> result;
    std::thread worker;
};

} // namespace tk
