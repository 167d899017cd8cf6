#include "shape.h"

#include "twips.h"

#include <cmath>
#include <QPainter>

namespace tk {

Shape::Shape(Form& form, const ShapeDesign& d)
    : GraphicControl(form, d.bounds, d.visible), design(d) {}

// The border lies inside the bounds, as a wide solid border does.
void Shape::paint(QPainter& painter, qreal ratio) const {
    const QRect outer = deviceRect(rect(), ratio);
    const int line = std::max(1, int(std::lround(design.borderWidth * ratio)));
    const QColor color = toQColor(design.borderColor);
    if (outer.width() <= 2 * line || outer.height() <= 2 * line) {
        painter.fillRect(outer, color);
        return;
    }
    painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), line), color);
    painter.fillRect(QRect(outer.left(), outer.bottom() - line + 1, outer.width(), line), color);
    painter.fillRect(QRect(outer.left(), outer.top(), line, outer.height()), color);
    painter.fillRect(QRect(outer.right() - line + 1, outer.top(), line, outer.height()), color);
}

} // namespace tk
