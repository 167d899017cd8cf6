#include "common/programicon.h"

#include <QPainter>
#include <QPixmap>

namespace common {

namespace {

QPixmap drawIcon(int side, qreal ratio) {
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    // In a 16-unit grid: a window from (1, 2) to (15, 14), its title bar the top three units.
    painter.scale(side / 16.0, side / 16.0);
    const QRectF window(1, 2, 14, 12);
    painter.fillRect(window, Qt::white);
    painter.fillRect(QRectF(1, 2, 14, 3), QColor(0, 255, 255));
    QPen outline(Qt::black);
    outline.setWidthF(16.0 / side);
    outline.setJoinStyle(Qt::MiterJoin);
    // The line under the title bar ends at the window's edges instead of poking out of them.
    outline.setCapStyle(Qt::FlatCap);
    painter.setPen(outline);
    const qreal half = outline.widthF() / 2;
    painter.drawRect(window.adjusted(half, half, -half, -half));
    painter.drawLine(QPointF(1, 5 - half), QPointF(15, 5 - half));
    return pixmap;
}

} // namespace

QImage programIconImage(int side) {
    return drawIcon(side, 1.0).toImage();
}

QIcon programIcon() {
    QIcon icon;
    for (const int side : {16, 32, 48}) {
        for (const qreal ratio : {1.0, 2.0})
            icon.addPixmap(drawIcon(side, ratio));
    }
    return icon;
}

} // namespace common
