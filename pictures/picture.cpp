#include "pictures/picture.h"

#include <algorithm>
#include <cmath>
#include <QMetaObject>
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <thread>
#include <utility>
#include <vector>

namespace tk {

// A source and its upkeep, shared by a picture's copies and parts: finer pixels are decoded on a
// thread of their own, one decode at a time, and replace the source on the event loop.
class Picture::Refining {
public:
    explicit Refining(std::shared_ptr<Source> source) : current(std::move(source)) {}
    // A decode under way stops between two rows; its pixels are dropped with the event loop's
    // receiver.
    ~Refining() { finish(); }
    Refining(const Refining&) = delete;
    Refining& operator=(const Refining&) = delete;

    const Source& source() const { return *current; }

    // Starts decoding finer pixels, unless a decode is under way already or one has failed.
    void ask(const QRectF& region, QSize deviceSize) {
        if (underWay || failed)
            return;
        Source::Refinement refinement = current->refinement(region, deviceSize);
        if (!refinement)
            return;
        finish();
        cancelled = false;
        underWay = true;
        if (!eventLoop)
            eventLoop = std::make_unique<QObject>();
        worker = std::thread([this, refinement = std::move(refinement)] {
            std::shared_ptr<Source> finer = refinement(cancelled);
            if (cancelled)
                return;
            QMetaObject::invokeMethod(
                eventLoop.get(), [this, finer = std::move(finer)] { arrived(finer); },
                Qt::QueuedConnection);
        });
    }

    bool whenDone(QObject* context, std::function<void()> settled) {
        if (!underWay)
            return false;
        const auto same = std::find_if(waiting.begin(), waiting.end(),
                                       [&](const Waiting& w) { return w.context == context; });
        if (same != waiting.end())
            same->settled = std::move(settled);
        else
            waiting.push_back({context, std::move(settled)});
        return true;
    }

private:
    struct Waiting {
        QPointer<QObject> context;
        std::function<void()> settled;
    };

    void finish() {
        cancelled = true;
        if (worker.joinable())
            worker.join();
    }

    // A failed decode is not tried again: the pixels kept are all this picture will have.
    void arrived(const std::shared_ptr<Source>& finer) {
        finish();
        underWay = false;
        if (finer)
            current = finer;
        else
            failed = true;
        for (const Waiting& w : std::exchange(waiting, {})) {
            if (w.context)
                w.settled();
        }
    }

    std::shared_ptr<Source> current;
    bool underWay = false;
    bool failed = false;
    std::vector<Waiting> waiting;
    std::atomic<bool> cancelled{false};
    std::thread worker;
    // Made with the first decode, so that a picture that never refines is no QObject.
    std::unique_ptr<QObject> eventLoop;
};

struct Picture::Data {
    std::shared_ptr<Refining> refining;
    QRect region;
};

namespace {

class BitmapSource final : public Picture::Source {
public:
    BitmapSource(QImage pixels, QSize naturalSize)
        : pixels(std::move(pixels)), natural(naturalSize) {}

    QSize pixelSize() const override { return natural; }

    QImage render(const QRectF& region, QSize deviceSize) const override {
        if (pixels.isNull() || region.isEmpty() || deviceSize.isEmpty())
            return {};
        // The kept pixels may be fewer than the natural ones: map the region onto them, at least
        // one kept pixel of it, so that a sliver of a picture still shows its colour.
        const auto span = [](double from, double to, int kept) {
            const int first = std::clamp(int(std::lround(from)), 0, kept - 1);
            const int last = std::clamp(int(std::lround(to)), first + 1, kept);
            return std::pair(first, last - first);
        };
        const auto [x, w] = span(region.left() * pixels.width() / natural.width(),
                                 region.right() * pixels.width() / natural.width(), pixels.width());
        const auto [y, h] =
            span(region.top() * pixels.height() / natural.height(),
                 region.bottom() * pixels.height() / natural.height(), pixels.height());
        const QRect crop(x, y, w, h);
        const QImage part = crop == pixels.rect() ? pixels : pixels.copy(crop);
        if (part.size() == deviceSize)
            return part;
        return part.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

private:
    QImage pixels;
    QSize natural;
};

class DrawingSource final : public Picture::Source {
public:
    DrawingSource(QSize size, Picture::Drawing drawing) : size(size), drawing(std::move(drawing)) {}

    QSize pixelSize() const override { return size; }

    QImage render(const QRectF& region, QSize deviceSize) const override {
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

std::shared_ptr<Picture::Source> bitmapSource(QImage pixels, QSize naturalSize) {
    return std::make_shared<BitmapSource>(std::move(pixels), naturalSize);
}

Picture Picture::fromSource(std::shared_ptr<Source> source) {
    const QRect whole(QPoint(0, 0), source->pixelSize());
    return Picture(
        std::make_shared<const Data>(Data{std::make_shared<Refining>(std::move(source)), whole}));
}

Picture Picture::fromDrawing(QSize pixelSize, Drawing drawing) {
    return fromSource(std::make_shared<DrawingSource>(pixelSize, std::move(drawing)));
}

QSize Picture::pixelSize() const {
    return data ? data->region.size() : QSize(0, 0);
}

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
    return Picture(std::make_shared<const Data>(Data{data->refining, region}));
}

QImage Picture::render(QSize deviceSize) const {
    return render(deviceSize, QRect(QPoint(0, 0), deviceSize));
}

QImage Picture::render(QSize deviceSize, const QRect& shown) const {
    if (!data || deviceSize.isEmpty())
        return {};
    // The shown part of the device image, taken back to natural pixels of the source.
    const QRectF region = data->region;
    const double sx = region.width() / deviceSize.width();
    const double sy = region.height() / deviceSize.height();
    const QRect part = shown & QRect(QPoint(0, 0), deviceSize);
    const QRectF source(region.left() + part.left() * sx, region.top() + part.top() * sy,
                        part.width() * sx, part.height() * sy);
    data->refining->ask(source, part.size());
    return data->refining->source().render(source, part.size());
}

bool Picture::whenRefined(QObject* context, std::function<void()> settled) const {
    return data && data->refining->whenDone(context, std::move(settled));
}

} // namespace tk
