#include "placement.h"

namespace windowing {

QRect centredIn(QRect available, QSize client, QMargins sides) {
    const QSize room = available.size() - client.grownBy(sides);
    const QPoint corner = available.topLeft() + QPoint(room.width() / 2, room.height() / 2);
    return QRect(corner + QPoint(sides.left(), sides.top()), client);
}

} // namespace windowing
