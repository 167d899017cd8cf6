#include "common/replacedfile.h"

#include "runtime/leftovers.h"
#include "runtime/systemerror.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

namespace {

// The kernel's own limit on links followed in one lookup.
constexpr int maxLinkHops = 40;
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

// Temporary files are "<name>.sparas.XXXXXX".
tk::TemporaryNaming namingFor(const std::string& target) {
    return {baseOf(target) + ".sparas.", ""};
}

// The folder as a place to create and remove names in: opening it so needs no right to list it.
int placeOf(const std::string& folder) {
    return ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

QString creationFailure(int code) {
    return code == ENOENT ? QStringLiteral("mappen finns inte längre") : tk::systemErrorText(code);
}

// Makes the rename itself durable. The new bytes are already in place, so a failure here is not
// reported as a failed save.
void syncFolder(int folder) {
    const tk::Descriptor synced(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (synced.isOpen())
        ::fsync(synced.get());
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
    folderPath = parentOf(target);
    folder = tk::Descriptor(placeOf(folderPath));
    if (!folder.isOpen()) {
        refusal = creationFailure(errno);
        return;
    }
    const tk::TemporaryNaming naming = namingFor(target);
    tk::removeLeftovers(folder.get(), naming, largestLeftover);
    temporary.emplace(folder.get(), naming, 0666);
    if (const int code = temporary->error()) {
        temporary.reset();
        refusal = creationFailure(code);
        return;
    }
    // The replacement keeps the permissions the user gave the old file.
    if (found.existing && ::fchmod(temporary->get(), found.existing->st_mode & 07777) != 0)
        refusal = fail(errno);
}

void ReplacedFile::clearLeftovers(const QString& fileName) {
    const Target found = resolve(QFile::encodeName(fileName).toStdString());
    const tk::Descriptor folder(found.refusal.isEmpty() ? placeOf(parentOf(found.path)) : -1);
    if (folder.isOpen())
        tk::removeLeftovers(folder.get(), namingFor(found.path), largestLeftover);
}

QString ReplacedFile::fail(int code) {
    temporary.reset();
    return tk::systemErrorText(code);
}

QString ReplacedFile::commit(const QByteArray& bytes) {
    if (!refusal.isEmpty())
        return refusal;
    if (const int code = temporary->write(std::string_view(bytes.constData(), bytes.size())))
        return fail(code);
    if (::fdatasync(temporary->get()) != 0 || !temporary->close())
        return fail(errno);
    const std::string written = folderPath + '/' + temporary->name();
    if (::rename(written.c_str(), target.c_str()) != 0)
        return fail(errno);
    temporary->keep();
    syncFolder(folder.get());
    return {};
}

} // namespace common
