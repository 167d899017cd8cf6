#pragma once

#include "forms/form.h"
#include "forms/graphiccontrol.h"
#include "pictures/picture.h"

#include <memory>
#include <QObject>
#include <QPixmap>

namespace tk {

struct ImageDesign {
    Bounds bounds;
    bool visible = true;
    bool stretch = false;
    BorderStyle borderStyle = BorderStyle::None; // None or FixedSingle
    Appearance appearance = Appearance::ThreeD;
    Picture picture;
};

// An image control. With Stretch off, assigning a picture gives the control the picture's
// natural size; with Stretch on, the picture is drawn scaled to the control.
class Image final : public GraphicControl {
public:
    Image(Form& form, const ImageDesign& design);

    const Picture& picture() const { return current; }
    void setPicture(Picture picture);
    bool stretch() const { return stretched; }
    void setStretch(bool on);

    // A new, hidden control with this one's design values (control arrays load elements so).
    std::unique_ptr<Image> cloneDesign() const;

    void paint(QPainter& painter, qreal devicePixelRatio) const override;

private:
    void resized() override;
    int borderPixels() const;
    void paintBorder(QPainter& painter, const QRect& outer, qreal devicePixelRatio) const;

    ImageDesign design;
    Picture current;
    bool stretched;

    // The picture already scaled to the size it is drawn at, so painting never rescales: the
    // part of it that the window shows.
    struct Rendered {
        const void* identity = nullptr;
        QSize size;
        QRect shown;
        QPixmap pixmap;
    };
    mutable Rendered rendered;
    // Receives the news that finer pixels of the picture arrived; dies with the control.
    mutable QObject refinedNews;
};

} // namespace tk
