#pragma once

// Where the shared thumbnail cache keeps a file's thumbnails. Plain C++ but for the digest, so
// that a thread started before the application object may ask.

#include <string>

namespace tk::thumbnails {

struct Size {
    const char* folder;
    int box; // pixels a side, at most
};
inline constexpr Size sizes[] = {{"x-large", 512}, {"xx-large", 1024}};

// The file's URI as the cache names it: "file://" and the absolute path, every byte outside the
// characters a URI path may carry percent-encoded.
std::string uriOf(const std::string& absolutePath);
// $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails; empty when neither is set.
std::string cacheFolder();
// The thumbnail's path in the given size folder: the MD5 of the URI in hexadecimal, ".png".
std::string pathOf(const std::string& absolutePath, const Size& size);

} // namespace tk::thumbnails
