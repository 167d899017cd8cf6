#include "fullfilesystem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QFile>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

namespace {

QString failed(const char* what) {
    return QStringLiteral("%1 is not permitted here (%2)")
        .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

SmallFilesystem::SmallFilesystem(const QString& folder) : path(folder) {
    const QByteArray where = QFile::encodeName(folder);
    if (::unshare(CLONE_NEWNS) != 0)
        skipReason = failed("a private mount namespace (unshare)");
    else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        skipReason = failed("making the mounts private");
    else if (::mount("tmpfs", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0)
        skipReason = failed("mounting a tmpfs");
    // A current directory inside the folder still points below the mount; enter the new one.
    else if (::chdir(where.constData()) != 0)
        skipReason = failed("entering the tmpfs");
}

SmallFilesystem::~SmallFilesystem() {
    if (mounted())
        ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
}

bool SmallFilesystem::fill() {
    const QByteArray filler = QFile::encodeName(path + QStringLiteral("/fyllnad"));
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const std::vector<char> block(4096, 'x');
    ssize_t n = 0;
    while ((n = ::write(fd, block.data(), block.size())) > 0) {
    }
    const bool full = n < 0 && errno == ENOSPC;
    ::close(fd);
    return full;
}

} // namespace testsupport
