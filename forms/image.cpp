#include "forms/image.h"

#include "edges.h"
#include "forms/twips.h"

#include <QPainter>
#include <QWidget>

namespace tk {

namespace {

// A picture's size on a form: its natural pixels, in twips.
QSizeF naturalSize(const Picture& picture) {
    return QSizeF(picture.pixelSize()) * twipsPerPixel;
}

} // namespace

Image::Image(Form& form, const ImageDesign& d)
    : GraphicControl(form, d.bounds, d.visible), design(d), current(d.picture),
      stretched(d.stretch) {}

std::unique_ptr<Image> Image::cloneDesign() const {
    ImageDesign copy = design;
    copy.visible = false;
    return std::make_unique<Image>(form(), copy);
}

void Image::setPicture(Picture picture) {
    current = std::move(picture);
    if (!stretched && !current.isNull()) {
        const QSizeF natural = naturalSize(current);
        setWidth(float(natural.width()));
        setHeight(float(natural.height()));
    }
    changed();
}

void Image::setStretch(bool on) {
    stretched = on;
    changed();
}

void Image::resized() {
    rendered = {};
}

int Image::borderPixels() const {
    if (design.borderStyle == BorderStyle::None)
        return 0;
    return design.appearance == Appearance::ThreeD ? 2 : 1;
}

void Image::paint(QPainter& painter, qreal ratio) const {
    const QRect outer = deviceRect(rect(), ratio);
    // The picture starts where the border's lines end, each a whole number of device pixels.
    const int inset = borderPixels() * lineWidth(1, ratio);
    const QRect inner = outer.adjusted(inset, inset, -inset, -inset);
    if (!current.isNull() && !inner.isEmpty()) {
        const QSize size =
            stretched ? inner.size()
                      : deviceRect(QRectF(QPointF(0, 0), naturalSize(current)), ratio).size();
        // Only what the window shows is rendered: a photo drawn at its natural size would
        // otherwise ask for every one of its pixels.
        const QRect window(QPoint(0, 0), form().widget()->size() * ratio);
        const QRect shown =
            (inner & window).translated(-inner.topLeft()) & QRect(QPoint(0, 0), size);
        if (rendered.identity != current.identity() || rendered.size != size ||
            rendered.shown != shown) {
            rendered = {current.identity(), size, shown,
                        QPixmap::fromImage(current.render(size, shown))};
            // Drawn from coarser pixels than it needs until the finer ones arrive.
            current.whenRefined(&refinedNews, [this] {
                rendered = {};
                changed();
            });
        }
        painter.save();
        painter.setClipRect(inner);
        painter.drawPixmap(inner.topLeft() + shown.topLeft(), rendered.pixmap);
        painter.restore();
    }
    paintBorder(painter, outer, ratio);
}

void Image::paintBorder(QPainter& painter, const QRect& outer, qreal ratio) const {
    if (design.borderStyle == BorderStyle::None || outer.isEmpty())
        return;
    const int line = lineWidth(1, ratio);
    if (design.appearance == Appearance::Flat) {
        fillEdges(painter, outer, line, Qt::black, Qt::black);
        return;
    }
    // Sunken: shadow and dark shadow above and to the left, highlight and light below and right.
    fillEdges(painter, outer, line, QColor(128, 128, 128), Qt::white);
    fillEdges(painter, outer.adjusted(line, line, -line, -line), line, Qt::black,
              QColor(192, 192, 192));
}

} // namespace tk
