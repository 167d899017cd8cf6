#include "runtime/temporaryfile.h"

#include <cerrno>
#include <fcntl.h>
#include <random>

namespace tk {

namespace {

constexpr std::string_view randomCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t randomLength = 6;
// Tried before giving up, should names collide (62^6 of them).
constexpr int attempts = 100;

std::string freshName(const TemporaryNaming& naming) {
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, randomCharacters.size() - 1);
    std::string name = naming.prefix;
    for (std::size_t i = 0; i < randomLength; ++i)
        name += randomCharacters[pick(source)];
    return name += naming.suffix;
}

} // namespace

bool TemporaryNaming::names(std::string_view entry) const {
    if (entry.size() != prefix.size() + randomLength + suffix.size() ||
        !entry.starts_with(prefix) || !entry.ends_with(suffix))
        return false;
    const std::string_view random = entry.substr(prefix.size(), randomLength);
    return random.find_first_not_of(randomCharacters) == std::string_view::npos;
}

TemporaryFile::TemporaryFile(int folder, const TemporaryNaming& naming, mode_t mode)
    : folder(folder) {
    for (int i = 0; i < attempts; ++i) {
        std::string name = freshName(naming);
        const int fd = ::openat(folder, name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            own = std::move(name);
            file = Descriptor(fd);
            return;
        }
        if (errno != EEXIST)
            break;
    }
    failure = errno;
}

TemporaryFile::~TemporaryFile() {
    file.close();
    if (!own.empty())
        ::unlinkat(folder, own.c_str(), 0);
}

int TemporaryFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : ENOSPC;
        bytes.remove_prefix(std::size_t(written));
    }
    return 0;
}

} // namespace tk
