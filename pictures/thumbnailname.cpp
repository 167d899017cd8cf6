#include "thumbnailname.h"

#include <cstdlib>
#include <QByteArray>
#include <QCryptographicHash>

namespace tk::thumbnails {

namespace {

bool keptInPath(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    // The unreserved marks, the separators a path segment may hold, and the segments' slash.
    for (const char kept : std::string_view("-_.!~*'():@&=+$,/"))
        if (c == static_cast<unsigned char>(kept))
            return true;
    return false;
}

} // namespace

std::string uriOf(const std::string& absolutePath) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const unsigned char c : absolutePath) {
        if (keptInPath(c)) {
            uri += char(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

std::string cacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && *cache == '/')
        return std::string(cache) + "/thumbnails";
    const char* home = std::getenv("HOME");
    if (home && *home == '/')
        return std::string(home) + "/.cache/thumbnails";
    return {};
}

std::string pathOf(const std::string& absolutePath, const Size& size) {
    const std::string folder = cacheFolder();
    if (folder.empty())
        return {};
    const std::string uri = uriOf(absolutePath);
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(uri.data(), qsizetype(uri.size())),
                                 QCryptographicHash::Md5)
            .toHex();
    return folder + '/' + size.folder + '/' + digest.toStdString() + ".png";
}

} // namespace tk::thumbnails
