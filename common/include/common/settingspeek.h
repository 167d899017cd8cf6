#pragma once

// The picture's name read from the settings file before the application object exists, only to
// start its decode early. It is read by the settings reader itself, which needs no application
// object, so it is the name the game reads later; the game's reading reports the file's faults.

#include <string>

namespace common {

// The picture's name as the folder holds it (see runtime/filenames.h), from the name the settings
// reader reads; empty when the file cannot be read.
std::string peekPictureName(const char* settingsFile);

} // namespace common
