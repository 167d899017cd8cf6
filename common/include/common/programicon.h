#pragma once

#include <QIcon>
#include <QImage>

namespace common {

// The icon of both programs: a plain white window with a cyan title bar on a transparent ground,
// drawn afresh at every size and pixel ratio.
QIcon programIcon();
// The same icon as one picture of side x side pixels, for the icon theme.
QImage programIconImage(int side);

} // namespace common
