#include "game/bitmaps.h"

#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace bitvik {

namespace {

const QColor lightGrey(192, 192, 192);
const QColor yellow(255, 255, 0);
const QColor cyan(0, 255, 255);
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);

void ground(QPainter& painter, QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), lightGrey);
}

void framedPicture(QPainter& painter, const QRectF& frame, const QColor& top,
                   const QColor& bottom) {
    painter.fillRect(QRectF(frame.left(), frame.top(), frame.width(), frame.height() / 2), top);
    painter.fillRect(QRectF(frame.left(), frame.center().y(), frame.width(), frame.height() / 2),
                     bottom);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
}

void arrow(QPainter& painter, QPointF from, QPointF to) {
    painter.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::FlatCap));
    const QPointF along = to - from;
    const double length = std::hypot(along.x(), along.y());
    const QPointF unit = along / length;
    const QPointF normal(-unit.y(), unit.x());
    const QPointF base = to - unit * 4;
    painter.drawLine(from, base);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPolygon(QPolygonF({to, base + normal * 3, base - normal * 3}));
}

} // namespace

tk::Picture shuffleBitmap() {
    const QSize size(31, 30);
    return tk::Picture::fromDrawing(size, [size](QPainter& painter) {
        ground(painter, size);
        framedPicture(painter, QRectF(1, 1, 12, 11), yellow, cyan);
        framedPicture(painter, QRectF(18, 18, 12, 11), red, Qt::white);
        arrow(painter, QPointF(14, 5), QPointF(26, 16));
        arrow(painter, QPointF(17, 25), QPointF(5, 14));
    });
}

tk::Picture eyeBitmap() {
    const QSize size(33, 26);
    return tk::Picture::fromDrawing(size, [size](QPainter& painter) {
        ground(painter, size);
        QPainterPath eye;
        eye.moveTo(2, 14);
        eye.quadTo(16.5, 0, 31, 14);
        eye.quadTo(16.5, 27, 2, 14);
        painter.setPen(QPen(Qt::black, 1.2));
        painter.setBrush(Qt::white);
        painter.drawPath(eye);
        painter.setBrush(blue);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(16.5, 14), 5.5, 5.5);
        painter.setBrush(Qt::black);
        painter.drawEllipse(QPointF(16.5, 14), 2.2, 2.2);
        painter.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap));
        for (const double x : {7.0, 12.0, 16.5, 21.0, 26.0}) {
            const double lid = 14 - 13.3 * (1 - std::pow((x - 16.5) / 14.5, 2));
            painter.drawLine(QPointF(x, lid + 1), QPointF(x + (x - 16.5) * 0.25, lid - 3));
        }
    });
}

tk::Picture stopBitmap() {
    const QSize size(31, 30);
    return tk::Picture::fromDrawing(size, [size](QPainter& painter) {
        ground(painter, size);
        QPolygonF octagon;
        const QPointF centre(15.5, 15);
        for (int i = 0; i < 8; ++i) {
            const double angle = (22.5 + 45 * i) * M_PI / 180;
            octagon << centre + QPointF(std::cos(angle), std::sin(angle)) * 14.5;
        }
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(red);
        painter.drawPolygon(octagon);
        QFont font(QStringLiteral("Sans Serif"));
        font.setPixelSize(9);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(0, 0, 31, 30), Qt::AlignCenter, QStringLiteral("STOP"));
    });
}

tk::Picture coverBitmap() {
    const QSize size(77, 88);
    return tk::Picture::fromDrawing(size, [size](QPainter& painter) {
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    });
}

} // namespace bitvik
