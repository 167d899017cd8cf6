#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace tk {

// Lines one logical pixel wide along the inside of `r`: the top and left edges in one colour, the
// bottom and right in another. They are filled, not stroked: a pen's line on a pixel edge covers
// half a device pixel on either side at a ratio of 2 and leaves the outermost column bare.
void drawEdges(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight);

inline void drawBox(QPainter& painter, const QRect& r, const QColor& color) {
    drawEdges(painter, r, color, color);
}

} // namespace tk
