#include "pictures/earlydecode.h"

#include "jpegbounds.h"
#include "picturelimit.h"
#include "runtime/regularfile.h"
#include "thumbnailname.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <unistd.h>
#include <utility>

namespace tk {

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

std::string absolute(const std::string& name) {
    if (name.starts_with('/'))
        return name;
    char here[4096];
    if (!getcwd(here, sizeof here))
        return {};
    return std::string(here) + '/' + name;
}

bool hasThumbnail(const std::string& name) {
    const std::string path = absolute(name);
    for (const thumbnails::Size& size : thumbnails::sizes) {
        struct stat info = {};
        const std::string thumbnail = thumbnails::pathOf(path, size);
        if (!thumbnail.empty() && stat(thumbnail.c_str(), &info) == 0)
            return true;
    }
    return false;
}

bool namedAsJpeg(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower.ends_with(".jpg") || lower.ends_with(".jpeg");
}

} // namespace

EarlyDecode::EarlyDecode(std::string fileName, int drawnWidth) : name(std::move(fileName)) {
    if (!name.empty() && namedAsJpeg(name))
        worker = std::thread([this, drawnWidth] { run(drawnWidth); });
}

EarlyDecode::~EarlyDecode() {
    cancelled = true;
    if (worker.joinable())
        worker.join();
}

void EarlyDecode::run(int drawnWidth) {
    if (hasThumbnail(name))
        return;
    // What the loader refuses is left for it to refuse.
    RegularFile opened(name);
    seen = opened.status();
    std::FILE* file = seen.st_size > 0 ? opened.releaseStream() : nullptr;
    if (!file)
        return;
    // The decoder counts the scans itself as it decodes them.
    const std::optional<jpeg::Header> header =
        jpeg::readHeader(file, jpeg::Scans::LeftToTheDecoder);
    std::fclose(file);
    if (!header || !jpeg::refusal(*header).empty() || header->width <= 0 || header->height <= 0)
        return;
    const int width = header->width;
    const int height = header->height;
    // The narrower side, since the picture may stand on either once it is turned upright.
    const int eighths = jpeg::eighthsFor(std::min(width, height), drawnWidth);
    if (!withinPictureLimit((width * eighths + 7) / 8, (height * eighths + 7) / 8))
        return;
    Result decoded{eighths, {}};
    if (jpeg::decode(name, eighths, cancelled, decoded.pixels) == jpeg::Outcome::Decoded)
        result = std::move(decoded);
}

std::optional<EarlyDecode::Result> EarlyDecode::take(const std::string& fileName) {
    if (fileName != name)
        cancelled = true;
    if (worker.joinable())
        worker.join();
    struct stat now = {};
    if (fileName != name || !result || stat(name.c_str(), &now) != 0 || !sameFile(now, seen))
        return std::nullopt;
    return std::exchange(result, std::nullopt);
}

} // namespace tk
