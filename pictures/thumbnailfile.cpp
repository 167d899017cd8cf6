#include "thumbnailfile.h"

#include "runtime/leftovers.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tk::thumbnails {

namespace {

constexpr std::string_view temporaryPrefix = "bitvik-";
constexpr std::string_view temporarySuffix = ".png";
constexpr std::string_view randomCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t randomLength = 6;

// A descriptor that closes itself.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd; }

private:
    int fd;
};

// The folder by that name inside `parent`, made for the owner only when it is missing. One that
// exists is opened as it is, and a symbolic link is not followed.
int folderIn(int parent, const char* name) {
    if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST)
        return -1;
    return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool isTemporary(std::string_view name) {
    if (name.size() != temporaryPrefix.size() + randomLength + temporarySuffix.size() ||
        !name.starts_with(temporaryPrefix) || !name.ends_with(temporarySuffix))
        return false;
    const std::string_view random = name.substr(temporaryPrefix.size(), randomLength);
    return random.find_first_not_of(randomCharacters) == std::string_view::npos;
}

// Only regular files of the owner by this program's temporary names, untouched long enough to be
// abandoned, are taken for leftovers: a younger one is another run's thumbnail being written.
void removeLeftovers(int folder) {
    DIR* dir = ::fdopendir(::dup(folder));
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info = {};
        if (isTemporary(entry->d_name) &&
            ::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && abandoned(info))
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(dir);
}

std::string temporaryName() {
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, randomCharacters.size() - 1);
    std::string name(temporaryPrefix);
    for (std::size_t i = 0; i < randomLength; ++i)
        name += randomCharacters[pick(source)];
    return name += temporarySuffix;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

} // namespace

void writeFile(const std::string& path, std::string_view bytes) {
    // path is <cache home>/thumbnails/<size>/<name>: the cache home may be a link of the user's
    // making; the two folders below it are the cache's own.
    const std::size_t nameAt = path.rfind('/');
    const std::size_t sizeAt = path.rfind('/', nameAt - 1);
    const std::size_t thumbnailsAt = path.rfind('/', sizeAt - 1);
    if (nameAt == std::string::npos || sizeAt == std::string::npos ||
        thumbnailsAt == std::string::npos || thumbnailsAt == 0)
        return;
    const std::string home = path.substr(0, thumbnailsAt);
    if (::mkdir(home.c_str(), 0700) != 0 && errno != EEXIST)
        return;
    const Descriptor homeFolder(::open(home.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (homeFolder.get() < 0)
        return;
    const Descriptor cache(folderIn(
        homeFolder.get(), path.substr(thumbnailsAt + 1, sizeAt - thumbnailsAt - 1).c_str()));
    if (cache.get() < 0)
        return;
    const Descriptor folder(
        folderIn(cache.get(), path.substr(sizeAt + 1, nameAt - sizeAt - 1).c_str()));
    if (folder.get() < 0)
        return;
    removeLeftovers(folder.get());

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = temporaryName();
        fd = ::openat(folder.get(), temporary.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return;
    }
    if (fd < 0)
        return;
    const bool written = writeAll(fd, bytes);
    if (::close(fd) != 0 || !written ||
        ::renameat(folder.get(), temporary.c_str(), folder.get(),
                   path.substr(nameAt + 1).c_str()) != 0)
        ::unlinkat(folder.get(), temporary.c_str(), 0);
}

} // namespace tk::thumbnails
