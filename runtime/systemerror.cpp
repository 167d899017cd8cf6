#include "runtime/systemerror.h"

#include <cerrno>
#include <cstring>

namespace tk {

QString systemErrorText(int code) {
    switch (code) {
    case ENOSPC:
        return QStringLiteral("disken är full");
    case EDQUOT:
        return QStringLiteral("din diskkvot är slut");
    case EIO:
        return QStringLiteral("ett fel uppstod när disken lästes eller skrevs");
    case EACCES:
    case EPERM:
        return QStringLiteral("du saknar behörighet");
    case EROFS:
        return QStringLiteral("filsystemet är skrivskyddat");
    case ENOENT:
        return QStringLiteral("filen eller mappen finns inte");
    case ENOTDIR:
        return QStringLiteral("en del av sökvägen är ingen mapp");
    case EEXIST:
        return QStringLiteral("det finns redan en fil med det namnet");
    case EISDIR:
        return QStringLiteral("det är en mapp");
    case ELOOP:
        return QStringLiteral("för många symboliska länkar i rad");
    case ENAMETOOLONG:
        return QStringLiteral("namnet är för långt");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("för många filer är öppna");
    case ENOMEM:
        return QStringLiteral("minnet räcker inte");
    case EFBIG:
        return QStringLiteral("filen blir för stor");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("filen används av ett annat program");
    case EXDEV:
        return QStringLiteral("filen ligger på ett annat filsystem");
    default:
        return QStringLiteral("systemfel %1 (%2)")
            .arg(code)
            .arg(QString::fromLocal8Bit(std::strerror(code)));
    }
}

} // namespace tk
