#include "forms/shape.h"

#include "edges.h"
#include "forms/twips.h"

#include <QPainter>

namespace tk {

Shape::Shape(Form& form, const ShapeDesign& d)
    : GraphicControl(form, d.bounds, d.visible), design(d) {}

// The border lies inside the bounds, as a wide solid border does.
void Shape::paint(QPainter& painter, qreal ratio) const {
    const QRect outer = deviceRect(rect(), ratio);
    const int line = lineWidth(design.borderWidth, ratio);
    const QColor color = toQColor(design.borderColor);
    if (outer.width() <= 2 * line || outer.height() <= 2 * line) {
        painter.fillRect(outer, color);
        return;
    }
    fillEdges(painter, outer, line, color, color);
}

} // namespace tk
