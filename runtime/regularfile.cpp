#include "runtime/regularfile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace tk {

RegularFile::RegularFile(const std::string& path) {
    // Looked at first, so that no device is even opened; looked at again once open, since the
    // name may have been given to something else in between.
    struct stat named = {};
    if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
        why = Failure::NotRegular;
        return;
    }
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        code = errno;
        why = Failure::CannotOpen;
        return;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(std::exchange(fd, -1));
        why = Failure::NotRegular;
    }
}

RegularFile::~RegularFile() {
    if (fd >= 0)
        ::close(fd);
}

std::optional<std::string> RegularFile::read(std::size_t limit) {
    if (fd < 0)
        return std::nullopt;
    std::string bytes;
    while (bytes.size() < limit) {
        const std::size_t at = bytes.size();
        bytes.resize(std::min(limit, at + 65536));
        const ssize_t got = ::read(fd, bytes.data() + at, bytes.size() - at);
        if (got < 0 && errno == EINTR) {
            bytes.resize(at);
            continue;
        }
        if (got < 0) {
            code = errno;
            return std::nullopt;
        }
        bytes.resize(at + std::size_t(got));
        if (got == 0)
            break;
    }
    return bytes;
}

std::optional<std::string> RegularFile::readAll(std::size_t limit) {
    if (fd < 0 || info.st_size < 0 || std::size_t(info.st_size) > limit)
        return std::nullopt;
    // One byte more than allowed tells a file that grew since it was opened.
    std::optional<std::string> bytes = read(limit + 1);
    if (bytes && bytes->size() > limit)
        return std::nullopt;
    return bytes;
}

int RegularFile::release() {
    return std::exchange(fd, -1);
}

std::FILE* RegularFile::releaseStream() {
    if (fd < 0)
        return nullptr;
    std::FILE* stream = ::fdopen(fd, "rb");
    if (stream)
        fd = -1;
    return stream;
}

} // namespace tk
