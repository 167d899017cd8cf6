#pragma once

#include <optional>
#include <QSize>

namespace windowing {

// The X screen's size as the server has it now (RandR resizes it as outputs come and go); none
// without an X11 connection.
std::optional<QSize> x11ScreenSize();

} // namespace windowing
