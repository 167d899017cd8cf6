#include "common/settingspeek.h"

#include "common/settingsfile.h"

#include "runtime/filenames.h"
#include "runtime/runtimeerror.h"

namespace common {

std::string peekPictureName(const char* settingsFile) {
    try {
        SettingsReader settings(QString::fromLatin1(settingsFile));
        settings.readInteger(QStringLiteral("antal kolumner"));
        settings.readInteger(QStringLiteral("antal rader"));
        return tk::fileNameBytes(settings.readString(QStringLiteral("bildfilens namn")))
            .toStdString();
    } catch (const tk::RuntimeError&) {
        return {}; // the game's own reading of the file reports what is wrong with it
    }
}

} // namespace common
