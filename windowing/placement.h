#pragma once

#include <optional>
#include <QMargins>
#include <QRect>
#include <QSize>

namespace windowing {

// Where a window's client area goes, inside a frame with the given sides, for the framed window to
// stand centred in `available`; an odd pixel left over goes to the right and the bottom.
QRect centredIn(QRect available, QSize client, QMargins sides);

// The frame a desktop says it draws around a window of the given client size, where it can be one:
// no side negative, and the frame within the room the window leaves on the screen. Anything else
// is the desktop's mistake, and the window is placed as if it had said nothing.
std::optional<QMargins> believableFrame(std::optional<QMargins> said, QSize client, QSize screen);

} // namespace windowing
