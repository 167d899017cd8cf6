#pragma once

#include <cmath>
#include <QRect>
#include <QRectF>

namespace tk {

// Positions and sizes are twips; the screen has 15 twips to a logical pixel.
inline constexpr float twipsPerPixel = 15.0f;

// Rounds each edge on its own, so that controls that touch in twips touch on the screen too.
inline QRect deviceRect(const QRectF& twips, qreal devicePixelRatio) {
    const qreal scale = devicePixelRatio / twipsPerPixel;
    const int x0 = int(std::lround(twips.left() * scale));
    const int y0 = int(std::lround(twips.top() * scale));
    const int x1 = int(std::lround(twips.right() * scale));
    const int y1 = int(std::lround(twips.bottom() * scale));
    return QRect(QPoint(x0, y0), QSize(x1 - x0, y1 - y0));
}

// Logical pixels for a child window, which Qt places on whole logical pixels.
inline QRect pixelRect(float left, float top, float width, float height) {
    return deviceRect(QRectF(left, top, width, height), 1.0);
}

inline int pixels(float twips) {
    return int(std::lround(twips / twipsPerPixel));
}

} // namespace tk
