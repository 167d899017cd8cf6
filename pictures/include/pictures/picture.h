#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QSizeF>

class QObject;
class QPainter;

namespace tk {

// A picture object. Copies share one identity: a control holds the very object it is given, and
// two pictures are the same exactly when they come from the same object. The natural size is the
// picture's own pixel size; the pixels kept may be fewer (a photo is decoded only as finely as it
// is drawn) and are rendered afresh at the size a control draws them. Finer pixels are decoded
// off the event loop: a drawing never waits for a file.
class Picture {
public:
    using Drawing = std::function<void(QPainter&)>;

    Picture() = default;

    // Drawn by the function, in a painter of the natural pixel size, at every resolution asked for.
    static Picture fromDrawing(QSize pixelSize, Drawing drawing);
    class Source;
    static Picture fromSource(std::shared_ptr<Source> source);

    bool isNull() const { return !data; }
    QSize pixelSize() const; // the natural size

    // A new picture object showing part of this one, given in natural pixels.
    Picture part(const QRect& pixels) const;

    // The picture scaled to fill an image of the given device pixel size, from the pixels kept.
    // A loaded picture drawn finer than those starts decoding its file again on a thread of its
    // own, one decode at a time; copies and parts share what it decodes.
    QImage render(QSize deviceSize) const;
    // Only the part `shown` (device pixels, within deviceSize) of that image.
    QImage render(QSize deviceSize, const QRect& shown) const;

    // Whether finer pixels are being decoded. If so, `settled` runs on the event loop once the
    // decode has ended, the finer pixels kept or, when it failed, the old ones still drawn; not
    // when `context` is gone by then. A context asking again replaces its earlier call.
    bool whenRefined(QObject* context, std::function<void()> settled) const;

    const void* identity() const { return data.get(); }
    friend bool operator==(const Picture& a, const Picture& b) { return a.data == b.data; }

private:
    struct Data;
    class Refining;
    explicit Picture(std::shared_ptr<const Data> data);
    std::shared_ptr<const Data> data;
};

// Where a picture's pixels come from.
class Picture::Source {
public:
    virtual ~Source() = default;
    virtual QSize pixelSize() const = 0;
    // Gives the source that keeps finer pixels, or null when they cannot be had; stops early,
    // giving null, once `cancelled` is set. Runs off the event loop.
    using Refinement = std::function<std::shared_ptr<Source>(const std::atomic<bool>& cancelled)>;
    // The decode that gives pixels fine enough to render the region at deviceSize, for a picture
    // file decoded only coarsely so far; empty when the pixels kept suffice, as they always do
    // for every other source.
    virtual Refinement refinement(const QRectF& /*region*/, QSize /*deviceSize*/) const {
        return {};
    }
    // The region (natural pixels, not necessarily whole ones) scaled to fill deviceSize, from the
    // pixels kept.
    virtual QImage render(const QRectF& region, QSize deviceSize) const = 0;
};

// Decoded pixels standing for a picture of a natural size that may be larger.
std::shared_ptr<Picture::Source> bitmapSource(QImage pixels, QSize naturalSize);

} // namespace tk
