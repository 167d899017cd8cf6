#pragma once

#include <QSize>
#include <QSizeF>
#include <span>

namespace testsupport {

// A worked example of storlek: a picture of so many pixels (15 twips each) is shown 4455 twips
// wide by a whole factor, or shrunk whole to the room above the buttons: 5790 twips in the game,
// 5255 in the tool's preview.
struct StorlekExample {
    const char* name;
    QSize pixels;
    QSizeF inGame; // twips
    QSizeF inSetup;
};

inline constexpr int gameRoom = 5790;
inline constexpr int setupRoom = 5255;

std::span<const StorlekExample> storlekExamples();

} // namespace testsupport
