// Draws the demo pictures: a sunset over the sea and a mountain lake. Run in demo/.

#include <cmath>
#include <cstdio>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

void sunset(QPainter& p, QSizeF size) {
    const double w = size.width(), h = size.height(), horizon = h * 0.58;
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(40, 30, 110));
    sky.setColorAt(0.55, QColor(230, 90, 80));
    sky.setColorAt(1, QColor(255, 200, 90));
    p.fillRect(QRectF(0, 0, w, horizon), sky);
    QRadialGradient glow(w * 0.5, horizon, w * 0.35);
    glow.setColorAt(0, QColor(255, 240, 160, 220));
    glow.setColorAt(1, QColor(255, 240, 160, 0));
    p.fillRect(QRectF(0, 0, w, horizon), glow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 120));
    p.drawEllipse(QPointF(w * 0.5, horizon), w * 0.09, w * 0.09);
    QLinearGradient sea(0, horizon, 0, h);
    sea.setColorAt(0, QColor(60, 60, 120));
    sea.setColorAt(1, QColor(10, 20, 60));
    p.fillRect(QRectF(0, horizon, w, h - horizon), sea);
    for (int i = 0; i < 28; ++i) {
        const double y = horizon + 4 + i * i * 0.45;
        const double half = w * (0.02 + 0.006 * i);
        p.setBrush(QColor(255, 210, 120, 200 - i * 6));
        p.drawRect(QRectF(w * 0.5 - half + std::sin(i * 1.7) * 6, y, 2 * half, 2 + i * 0.15));
    }
    // A sailing boat on the left.
    QPainterPath hull;
    hull.moveTo(w * 0.16, h * 0.70);
    hull.lineTo(w * 0.30, h * 0.70);
    hull.lineTo(w * 0.27, h * 0.74);
    hull.lineTo(w * 0.18, h * 0.74);
    hull.closeSubpath();
    p.setBrush(QColor(30, 20, 30));
    p.drawPath(hull);
    QPainterPath sail;
    sail.moveTo(w * 0.23, h * 0.69);
    sail.lineTo(w * 0.23, h * 0.45);
    sail.lineTo(w * 0.29, h * 0.68);
    sail.closeSubpath();
    p.setBrush(QColor(250, 240, 225));
    p.drawPath(sail);
    p.setBrush(QColor(240, 120, 90));
    QPainterPath jib;
    jib.moveTo(w * 0.225, h * 0.69);
    jib.lineTo(w * 0.225, h * 0.49);
    jib.lineTo(w * 0.175, h * 0.68);
    jib.closeSubpath();
    p.drawPath(jib);
    // Birds.
    p.setPen(QPen(QColor(40, 20, 50), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (const QPointF at : {QPointF(0.70, 0.20), QPointF(0.76, 0.26), QPointF(0.64, 0.28)}) {
        const QPointF c(w * at.x(), h * at.y());
        QPainterPath bird;
        bird.moveTo(c + QPointF(-14, 0));
        bird.quadTo(c + QPointF(-7, -8), c);
        bird.quadTo(c + QPointF(7, -8), c + QPointF(14, 0));
        p.drawPath(bird);
    }
}

void mountains(QPainter& p, QSizeF size) {
    const double w = size.width(), h = size.height(), shore = h * 0.62;
    QLinearGradient sky(0, 0, 0, shore);
    sky.setColorAt(0, QColor(70, 140, 220));
    sky.setColorAt(1, QColor(200, 230, 250));
    p.fillRect(QRectF(0, 0, w, shore), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 220));
    p.drawEllipse(QPointF(w * 0.82, h * 0.14), w * 0.05, w * 0.05);

    const auto range = [&](double base, double height, double phase, QColor rock, bool snow) {
        QPainterPath ridge;
        ridge.moveTo(0, shore);
        QList<QPointF> peaks;
        for (int i = 0; i <= 12; ++i) {
            const double x = w * i / 12.0;
            const double y =
                base - height * (0.55 + 0.45 * std::sin(i * 1.3 + phase)) * (i % 2 ? 1.0 : 0.62);
            ridge.lineTo(x, y);
            peaks << QPointF(x, y);
        }
        ridge.lineTo(w, shore);
        ridge.closeSubpath();
        p.setBrush(rock);
        p.drawPath(ridge);
        if (!snow)
            return;
        p.setBrush(QColor(250, 250, 255));
        for (int i = 1; i < peaks.size() - 1; i += 2) {
            const QPointF top = peaks[i];
            const QPointF left = top + (peaks[i - 1] - top) * 0.3;
            const QPointF right = top + (peaks[i + 1] - top) * 0.3;
            QPainterPath cap;
            cap.moveTo(top);
            cap.lineTo(right);
            cap.lineTo((top + right) / 2 + QPointF(0, 8));
            cap.lineTo(top + QPointF(0, (left.y() - top.y()) * 0.8));
            cap.lineTo(left);
            cap.closeSubpath();
            p.drawPath(cap);
        }
    };
    range(shore, h * 0.45, 0.3, QColor(110, 110, 140), true);
    range(shore, h * 0.22, 2.1, QColor(60, 100, 70), false);

    // The lake mirrors the sky and the ranges, darker.
    QImage above =
        p.device() ? static_cast<QImage*>(p.device())->copy(0, 0, int(w), int(shore)) : QImage();
    p.drawImage(QRectF(0, shore, w, h - shore), above.mirrored(false, true),
                QRectF(0, 0, w, h - shore));
    p.fillRect(QRectF(0, shore, w, h - shore), QColor(10, 40, 70, 110));
    p.setPen(QPen(QColor(255, 255, 255, 70), 1.5));
    for (int i = 0; i < 40; ++i) {
        const double y = shore + 6 + i * (h - shore) / 40.0;
        const double x = std::fmod(i * 137.0, w);
        p.drawLine(QPointF(x, y), QPointF(x + 30 + (i % 5) * 12, y));
    }
    // A red cottage on the shore.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(160, 30, 30));
    p.drawRect(QRectF(w * 0.14, shore - h * 0.07, w * 0.09, h * 0.07));
    p.setBrush(QColor(50, 40, 40));
    QPainterPath roof;
    roof.moveTo(w * 0.13, shore - h * 0.07);
    roof.lineTo(w * 0.185, shore - h * 0.115);
    roof.lineTo(w * 0.24, shore - h * 0.07);
    roof.closeSubpath();
    p.drawPath(roof);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(w * 0.165, shore - h * 0.05, w * 0.02, h * 0.025));
}

bool draw(const char* fileName, const char* format, QSize size, void (*scene)(QPainter&, QSizeF)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene(painter, QSizeF(size));
    }
    const bool saved =
        image.convertToFormat(QImage::Format_RGB888).save(QString::fromUtf8(fileName), format, 92);
    if (!saved)
        std::fprintf(stderr, "drawdemo: could not write %s\n", fileName);
    return saved;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    const bool ok = draw("sol.bmp", "BMP", QSize(600, 450), sunset) &&
                    draw("fjäll.jpg", "JPEG", QSize(900, 675), mountains);
    return ok ? 0 : 1;
}
