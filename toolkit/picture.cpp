#include "picture.h"

#include "twips.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tk {

struct Picture::Data {
    std::shared_ptr<const Source> source;
    QRect region;
};

namespace {

class BitmapSource final : public Picture::Source {
public:
    BitmapSource(QImage pixels, QSize naturalSize)
        : pixels(std::move(pixels)), natural(naturalSize) {}

    QSize pixelSize() const override { return natural; }

    QImage render(const QRect& region, QSize deviceSize) const override {
        if (pixels.isNull() || region.isEmpty() || deviceSize.isEmpty())
            return {};
        // The kept pixels may be fewer than the natural ones: map the region onto them.
        const double sx = double(pixels.width()) / natural.width();
        const double sy = double(pixels.height()) / natural.height();
        const int x0 = int(std::lround(region.left() * sx));
        const int y0 = int(std::lround(region.top() * sy));
        const int x1 = std::max(x0 + 1, int(std::lround((region.right() + 1) * sx)));
        const int y1 = std::max(y0 + 1, int(std::lround((region.bottom() + 1) * sy)));
        const QImage crop = pixels.copy(QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1)));
        if (crop.size() == deviceSize)
            return crop;
        return crop.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

private:
    QImage pixels;
    QSize natural;
};

class DrawingSource final : public Picture::Source {
public:
    DrawingSource(QSize size, Picture::Drawing drawing) : size(size), drawing(std::move(drawing)) {}

    QSize pixelSize() const override { return size; }

    QImage render(const QRect& region, QSize deviceSize) const override {
        if (region.isEmpty() || deviceSize.isEmpty())
            return {};
        QImage image(deviceSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(double(deviceSize.width()) / region.width(),
                      double(deviceSize.height()) / region.height());
        painter.translate(-region.topLeft());
        drawing(painter);
        return image;
    }

private:
    QSize size;
    Picture::Drawing drawing;
};

} // namespace

Picture::Picture(std::shared_ptr<const Data> data) : data(std::move(data)) {}

std::shared_ptr<const Picture::Source> bitmapSource(QImage pixels, QSize naturalSize) {
    return std::make_shared<BitmapSource>(std::move(pixels), naturalSize);
}

Picture Picture::fromSource(std::shared_ptr<const Source> source) {
    const QRect whole(QPoint(0, 0), source->pixelSize());
    return Picture(std::make_shared<const Data>(Data{std::move(source), whole}));
}

Picture Picture::fromImage(const QImage& image) {
    const QSize natural = (QSizeF(image.size()) / image.devicePixelRatio()).toSize();
    return fromSource(bitmapSource(image, natural));
}

Picture Picture::fromDrawing(QSize pixelSize, Drawing drawing) {
    return fromSource(std::make_shared<DrawingSource>(pixelSize, std::move(drawing)));
}

QSize Picture::pixelSize() const { return data ? data->region.size() : QSize(0, 0); }

QSizeF Picture::naturalSize() const { return QSizeF(pixelSize()) * twipsPerPixel; }

Picture Picture::part(const QRect& pixels) const {
    if (!data)
        return {};
    // Clamped edge by edge, so that an empty cell keeps its place and its other side.
    const QRect& whole = data->region;
    const QRect moved = pixels.translated(whole.topLeft());
    const int x0 = std::clamp(moved.left(), whole.left(), whole.left() + whole.width());
    const int y0 = std::clamp(moved.top(), whole.top(), whole.top() + whole.height());
    const int x1 = std::clamp(moved.left() + moved.width(), x0, whole.left() + whole.width());
    const int y1 = std::clamp(moved.top() + moved.height(), y0, whole.top() + whole.height());
    const QRect region(x0, y0, x1 - x0, y1 - y0);
    return Picture(std::make_shared<const Data>(Data{data->source, region}));
}

QImage Picture::render(QSize deviceSize) const {
    return data ? data->source->render(data->region, deviceSize) : QImage();
}

} // namespace tk
