#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace windowing {

// Where a window's client area goes, inside a frame with the given sides, for the framed window to
// stand centred in `available`; an odd pixel left over goes to the right and the bottom.
QRect centredIn(QRect available, QSize client, QMargins sides);

} // namespace windowing
