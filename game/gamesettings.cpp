#include "game/gamesettings.h"

#include "common/settingsfile.h"
#include "runtime/filenames.h"
#include "runtime/runtimeerror.h"

namespace bitvik {

GameSettings readGameSettings(const QString& settingsFile) {
    common::SettingsReader settings(settingsFile);
    GameSettings read;
    read.cols = settings.readInteger(QStringLiteral("antal kolumner"));
    read.rows = settings.readInteger(QStringLiteral("antal rader"));
    read.fileName = settings.readString(QStringLiteral("bildfilens namn"));
    settings.close();
    return read;
}

std::string peekPictureName(const char* settingsFile) {
    try {
        return tk::fileNameBytes(readGameSettings(QString::fromLatin1(settingsFile)).fileName)
            .toStdString();
    } catch (const tk::RuntimeError&) {
        return {};
    }
}

} // namespace bitvik
