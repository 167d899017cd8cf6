#pragma once

#include <optional>
#include <QMargins>
#include <QRect>

class QWidget;

namespace windowing {

// Centres a window once more, in `available`, as soon as the X11 window manager says on it a frame
// other than the one it was placed with; gives up after ten seconds.
void centreAgainWhenFramed(QWidget& window, QRect available, std::optional<QMargins> placedWith);

} // namespace windowing
