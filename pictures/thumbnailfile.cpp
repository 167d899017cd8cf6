#include "thumbnailfile.h"

#include "runtime/descriptor.h"
#include "runtime/leftovers.h"
#include "runtime/temporaryfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace tk::thumbnails {

namespace {

// The folder by that name inside `parent`, made for the owner only when it is missing. One that
// exists is opened as it is, and a symbolic link is not followed.
int folderIn(int parent, const char* name) {
    if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST)
        return -1;
    return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
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
    const TemporaryNaming naming{"bitvik-", ".png"};
    removeLeftovers(folder.get(), naming);

    TemporaryFile temporary(folder.get(), naming, 0600);
    if (temporary.error() == 0 && temporary.write(bytes) == 0 && temporary.close() &&
        ::renameat(folder.get(), temporary.name().c_str(), folder.get(),
                   path.substr(nameAt + 1).c_str()) == 0)
        temporary.keep();
}

} // namespace tk::thumbnails
