// Any absolute path: its URI carries only the characters a URI path may hold and decodes back to
// the path, byte for byte; its thumbnail's name is 32 hexadecimal digits and ".png".

#include "thumbnailname.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool plain(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("-_.!~*'():@&=+$,/").find(c) != std::string_view::npos;
}

std::string decoded(std::string_view uri) {
    std::string out;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] != '%') {
            if (!plain(uri[i]))
                std::abort();
            out += uri[i];
            continue;
        }
        if (i + 2 >= uri.size())
            std::abort();
        const int high = hexValue(uri[i + 1]);
        const int low = hexValue(uri[i + 2]);
        if (high < 0 || low < 0)
            std::abort();
        out += char(high << 4 | low);
        i += 2;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("XDG_CACHE_HOME", "/cache", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = '/' + std::string(reinterpret_cast<const char*>(data), size);
    const std::string uri = tk::thumbnails::uriOf(path);
    if (!uri.starts_with("file://") || decoded(std::string_view(uri).substr(7)) != path)
        std::abort();
    const std::string name = tk::thumbnails::pathOf(path, tk::thumbnails::sizes[0]);
    const std::string_view folder = "/cache/thumbnails/x-large/";
    if (name.size() != folder.size() + 32 + 4 || !name.starts_with(folder) ||
        !name.ends_with(".png") ||
        name.find_first_not_of("0123456789abcdef", folder.size()) != folder.size() + 32)
        std::abort();
    return 0;
}
