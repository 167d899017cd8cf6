#pragma once

#include "common/checkedint.h"

#include <QString>
#include <string>

namespace bitvik {

// The game's three items of the settings file, in the order it holds them.
struct GameSettings {
    common::Int16 cols;
    common::Int16 rows;
    QString fileName; // the picture's
};

// Reads them through the settings reader, which reports the file's faults as run-time errors.
GameSettings readGameSettings(const QString& settingsFile);

// The picture's name read the same way before the application object exists, only to start its
// decode early: the settings reader needs no application object. The name is the one the folder
// holds (see runtime/filenames.h); empty when the file cannot be read, whose faults the game's
// own reading then reports.
std::string peekPictureName(const char* settingsFile);

} // namespace bitvik
