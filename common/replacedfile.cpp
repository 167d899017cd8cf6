#include "common/replacedfile.h"

#include "runtime/leftovers.h"
#include "runtime/systemerror.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <QFile>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

namespace {

// The kernel's own limit on links followed in one lookup.
constexpr int maxLinkHops = 40;
// Temporary files are "<name>.sparas.XXXXXX": distinct enough that no file of the user's is
// taken for one when leftovers are cleared.
constexpr char temporaryInfix[] = ".sparas.";
constexpr std::size_t randomLength = 6;
constexpr char randomCharacters[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// A settings file is a few hundred bytes; a larger file of that name was not written by us.
constexpr off_t largestLeftover = 64 * 1024;

std::string parentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

QString shownPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

struct Target {
    std::string path;
    std::optional<struct stat> existing;
    QString refusal;
};

Target refused(const QString& why) {
    return {{}, std::nullopt, why};
}

Target resolve(const std::string& name) {
    std::string current = name;
    for (int hop = 0; hop <= maxLinkHops; ++hop) {
        const bool viaLink = hop > 0;
        struct stat st = {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return refused(tk::systemErrorText(errno));
            struct stat folder = {};
            if (::stat(parentOf(current).c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
                return refused(viaLink ? QStringLiteral("den är en länk till %1, i en mapp som "
                                                        "inte finns")
                                             .arg(shownPath(current))
                                       : QStringLiteral("mappen finns inte"));
            return {current, std::nullopt, {}};
        }
        if (S_ISLNK(st.st_mode)) {
            std::string link(PATH_MAX, '\0');
            const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
            if (length < 0)
                return refused(tk::systemErrorText(errno));
            link.resize(std::size_t(length));
            current = link.starts_with('/') ? link : parentOf(current) + '/' + link;
            continue;
        }
        if (S_ISREG(st.st_mode))
            return {current, st, {}};
        if (S_ISDIR(st.st_mode))
            return refused(
                viaLink ? QStringLiteral("den är en länk till mappen %1").arg(shownPath(current))
                        : QStringLiteral("det finns en mapp med det namnet"));
        return refused(viaLink ? QStringLiteral("den är en länk till %1, som inte är en vanlig fil")
                                     .arg(shownPath(current))
                               : QStringLiteral("det är ingen vanlig fil"));
    }
    return refused(tk::systemErrorText(ELOOP));
}

// Whether a directory entry is a temporary file that saving `baseName` creates.
bool isTemporaryOf(const std::string& entry, const std::string& baseName) {
    const std::string prefix = baseName + temporaryInfix;
    if (entry.size() != prefix.size() + randomLength || !entry.starts_with(prefix))
        return false;
    return entry.find_first_not_of(randomCharacters, prefix.size()) == std::string::npos;
}

void removeLeftovers(const std::string& folder, const std::string& baseName) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryOf(entry->d_name, baseName))
            continue;
        struct stat st = {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_size <= largestLeftover &&
            tk::abandoned(st))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

std::string randomSuffix() {
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof randomCharacters - 2);
    std::string suffix;
    for (std::size_t i = 0; i < randomLength; ++i)
        suffix += randomCharacters[pick(source)];
    return suffix;
}

// Makes the rename itself durable. The new bytes are already in place, so a failure here is not
// reported as a failed save.
void syncFolder(const std::string& folder) {
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

} // namespace

ReplacedFile::ReplacedFile(const QString& fileName) {
    const Target found = resolve(QFile::encodeName(fileName).toStdString());
    if (!found.refusal.isEmpty()) {
        refusal = found.refusal;
        return;
    }
    target = found.path;
    if (found.existing && ::access(target.c_str(), W_OK) != 0) {
        refusal =
            errno == EACCES ? QStringLiteral("filen är skrivskyddad") : tk::systemErrorText(errno);
        return;
    }
    const std::string folder = parentOf(target);
    removeLeftovers(folder, baseOf(target));
    constexpr int attempts = 100;
    for (int i = 0; i < attempts && fd < 0; ++i) {
        temporary = folder + '/' + baseOf(target) + temporaryInfix + randomSuffix();
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            temporary.clear();
            refusal = errno == ENOENT ? QStringLiteral("mappen finns inte längre")
                                      : tk::systemErrorText(errno);
            return;
        }
    }
    if (fd < 0) {
        temporary.clear();
        refusal = tk::systemErrorText(EEXIST);
        return;
    }
    // The replacement keeps the permissions the user gave the old file.
    if (found.existing && ::fchmod(fd, found.existing->st_mode & 07777) != 0)
        refusal = fail(errno);
}

void ReplacedFile::clearLeftovers(const QString& fileName) {
    const Target found = resolve(QFile::encodeName(fileName).toStdString());
    if (found.refusal.isEmpty())
        removeLeftovers(parentOf(found.path), baseOf(found.path));
}

ReplacedFile::~ReplacedFile() {
    discard();
}

void ReplacedFile::discard() {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!temporary.empty())
        ::unlink(temporary.c_str());
    temporary.clear();
}

QString ReplacedFile::fail(int code) {
    discard();
    return tk::systemErrorText(code);
}

QString ReplacedFile::commit(const QByteArray& bytes) {
    if (!refusal.isEmpty())
        return refusal;
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : ENOSPC);
        done += n;
    }
    if (::fdatasync(fd) != 0)
        return fail(errno);
    const int closing = fd;
    fd = -1;
    if (::close(closing) != 0)
        return fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail(errno);
    temporary.clear();
    syncFolder(parentOf(target));
    return {};
}

} // namespace common
