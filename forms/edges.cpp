#include "edges.h"

#include <algorithm>
#include <cmath>
#include <QPainter>

namespace tk {

void fillEdges(QPainter& painter, const QRect& r, int width, const QColor& topLeft,
               const QColor& bottomRight) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), width), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), width, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), bottomRight);
    painter.fillRect(QRect(r.right() - width + 1, r.top(), width, r.height()), bottomRight);
}

int lineWidth(qreal logicalPixels, qreal devicePixelRatio) {
    return std::max(1, int(std::lround(logicalPixels * devicePixelRatio)));
}

} // namespace tk
