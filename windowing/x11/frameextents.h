#pragma once

#include <optional>
#include <QMargins>

class QWidget;

namespace windowing {

// The frame the window manager will draw around a top-level window that is not yet shown, asked
// of an X11 window manager that answers such a question; none elsewhere (Wayland never tells).
std::optional<QMargins> frameExtents(QWidget& window);
// The frame the window manager says it draws around a shown window now, where it says one.
std::optional<QMargins> frameExtentsNow(QWidget& window);

} // namespace windowing
