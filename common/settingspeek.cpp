#include "settingspeek.h"

#include "runtime/regularfile.h"

namespace common {

std::string peekPictureName(const char* settingsFile) {
    tk::RegularFile file(settingsFile);
    const std::string head = file.read(4096).value_or(std::string());
    const std::size_t open = head.find('"');
    const std::size_t close = open == std::string::npos ? open : head.find('"', open + 1);
    if (close == std::string::npos)
        return {};
    std::string name;
    for (const unsigned char c : head.substr(open + 1, close - open - 1)) {
        if (c < 0x80) {
            name += char(c);
        } else if (c >= 0xA0) { // Windows-1252 agrees with Latin-1 here
            name += char(0xC0 | c >> 6);
            name += char(0x80 | (c & 0x3F));
        } else {
            return {};
        }
    }
    return name;
}

} // namespace common
