#pragma once

#include <functional>
#include <memory>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QSizeF>

class QPainter;

namespace tk {

// A picture object. Copies share one identity: a control holds the very object it is given, and
// two pictures are the same exactly when they come from the same object. The natural size is the
// picture's own pixel size; the pixels kept may be fewer (a photo is decoded only as finely as it
// is drawn) and are rendered afresh at the size a control draws them.
class Picture {
public:
    using Drawing = std::function<void(QPainter&)>;

    Picture() = default;

    // Pixels as given; an image with a device pixel ratio counts its natural size in logical
    // pixels.
    static Picture fromImage(const QImage& image);
    // Drawn by the function, in a painter of the natural pixel size, at every resolution asked for.
    static Picture fromDrawing(QSize pixelSize, Drawing drawing);
    // A picture file by name; a relative name resolves against the current directory. The pixels
    // kept at first are enough for a drawing `drawnWidth` device pixels wide.
    static Picture load(const QString& fileName, int drawnWidth);

    class Source;
    static Picture fromSource(std::shared_ptr<Source> source);

    bool isNull() const { return !data; }
    QSize pixelSize() const;

    // A new picture object showing part of this one, given in natural pixels.
    Picture part(const QRect& pixels) const;

    // The picture scaled to fill an image of the given device pixel size. A loaded picture drawn
    // finer than its pixels kept so far reads its file again; copies share what it reads.
    QImage render(QSize deviceSize) const;
    // Only the part `shown` (device pixels, within deviceSize) of that image.
    QImage render(QSize deviceSize, const QRect& shown) const;

    const void* identity() const { return data.get(); }
    friend bool operator==(const Picture& a, const Picture& b) { return a.data == b.data; }

private:
    struct Data;
    explicit Picture(std::shared_ptr<const Data> data);
    std::shared_ptr<const Data> data;
};

// Where a picture's pixels come from.
class Picture::Source {
public:
    virtual ~Source() = default;
    virtual QSize pixelSize() const = 0;
    // Keeps pixels fine enough to render the region at deviceSize: a picture file decoded only
    // coarsely so far is read and decoded again. Every other source has all it needs.
    virtual void refine(const QRectF& /*region*/, QSize /*deviceSize*/) {}
    // The region (natural pixels, not necessarily whole ones) scaled to fill deviceSize, from the
    // pixels kept.
    virtual QImage render(const QRectF& region, QSize deviceSize) const = 0;
};

// Decoded pixels standing for a picture of a natural size that may be larger.
std::shared_ptr<Picture::Source> bitmapSource(QImage pixels, QSize naturalSize);

} // namespace tk
