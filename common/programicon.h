#pragma once

#include <QIcon>

namespace common {

// The icon of both programs: a plain white window with a cyan title bar on a transparent ground,
// drawn afresh at every size and pixel ratio.
QIcon programIcon();

} // namespace common
