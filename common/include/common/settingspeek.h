#pragma once

// The picture's name read from the settings file in plain C++, before the application object
// exists, only to start its decode early: the settings reader proper still reads the file and
// reports its faults, and a name read wrongly here only costs that head start.

#include <string>

namespace common {

// The text between the first two double quotes, as UTF-8; empty when there is none or it holds
// a character this cannot convert.
std::string peekPictureName(const char* settingsFile);

} // namespace common
