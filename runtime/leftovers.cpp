#include "runtime/leftovers.h"

#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tk {

namespace {

bool abandoned(const struct stat& info) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec - info.st_mtim.tv_sec > abandonedAfterSeconds;
}

} // namespace

void removeLeftovers(int folder, const TemporaryNaming& naming, off_t largest) {
    // Listed through a descriptor of its own, which the listing closes: the folder may have been
    // opened only as a place (O_PATH), and a folder the user may write in but not list is no
    // reason to fail.
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info = {};
        if (naming.names(entry->d_name) &&
            ::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_size <= largest &&
            abandoned(info))
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace tk
