#include "runtime/filenames.h"

#include "runtime/windows1252.h"

#include <QFile>
#include <sys/stat.h>

namespace tk {

namespace {

// Decoding replaces what is not UTF-8, so such bytes do not come back.
bool isUtf8(QByteArrayView bytes) {
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// Any entry by that name, a dangling link too: it is what the name says.
bool exists(const QByteArray& path) {
    struct stat info = {};
    return ::lstat(path.constData(), &info) == 0;
}

} // namespace

QString shownFileName(QByteArrayView bytes) {
    return isUtf8(bytes) ? QString::fromUtf8(bytes) : fromWindows1252(bytes);
}

QByteArray fileNameBytes(const QString& name) {
    const QByteArray utf8 = QFile::encodeName(name);
    if (exists(utf8))
        return utf8;
    const qsizetype ownName = name.lastIndexOf(QLatin1Char('/')) + 1;
    const Encoded own = toWindows1252(name.mid(ownName));
    if (own.unencodable || isUtf8(own.bytes))
        return utf8;
    const QByteArray other = QFile::encodeName(name.left(ownName)) + own.bytes;
    return exists(other) ? other : utf8;
}

} // namespace tk
