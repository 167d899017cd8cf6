#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace tk {

// Lines `width` pixels of the painter wide along the inside of `r`: the top and left edges in one
// colour, the bottom and right in another. They are filled, not stroked: a pen's line on a pixel
// edge covers half a device pixel on either side at a ratio of 2 and leaves the outermost column
// bare. Nothing is clipped to `r`: a rectangle narrower than the lines gets them all the same.
void fillEdges(QPainter& painter, const QRect& r, int width, const QColor& topLeft,
               const QColor& bottomRight);

// Device pixels for a line `logicalPixels` wide: whole ones, so that it stays sharp, and at least
// one, so that it shows.
int lineWidth(qreal logicalPixels, qreal devicePixelRatio);

// One pixel of the painter, for a widget's own painting; an empty rectangle gets no lines.
inline void drawEdges(QPainter& painter, const QRect& r, const QColor& topLeft,
                      const QColor& bottomRight) {
    if (!r.isEmpty())
        fillEdges(painter, r, 1, topLeft, bottomRight);
}

inline void drawBox(QPainter& painter, const QRect& r, const QColor& color) {
    drawEdges(painter, r, color, color);
}

} // namespace tk
