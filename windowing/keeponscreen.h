#pragma once

#include <functional>

class QWidget;

namespace windowing {

// When the screens change under a shown window (a monitor unplugged, its resolution changed) and
// the window no longer lies whole on one of them, `placeAgain` puts it back: once the changes,
// which Qt reports one screen at a time, have settled.
void placeAgainWhenOffScreen(QWidget& window, std::function<void()> placeAgain);

} // namespace windowing
