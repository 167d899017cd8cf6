#include "placement.h"

namespace windowing {

QRect centredIn(QRect available, QSize client, QMargins sides) {
    const QSize room = available.size() - client.grownBy(sides);
    const QPoint corner = available.topLeft() + QPoint(room.width() / 2, room.height() / 2);
    return QRect(corner + QPoint(sides.left(), sides.top()), client);
}

std::optional<QMargins> believableFrame(std::optional<QMargins> said, QSize client, QSize screen) {
    if (!said)
        return std::nullopt;
    const QMargins sides = *said;
    const QSize room = (screen - client).expandedTo(QSize(0, 0));
    if (sides.left() < 0 || sides.top() < 0 || sides.right() < 0 || sides.bottom() < 0 ||
        qint64(sides.left()) + sides.right() > room.width() ||
        qint64(sides.top()) + sides.bottom() > room.height())
        return std::nullopt;
    return sides;
}

} // namespace windowing
