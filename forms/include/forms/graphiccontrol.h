#pragma once

#include <functional>
#include <QRectF>

class QPainter;
class QPointF;

namespace tk {

class Form;

struct Bounds {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// A lightweight control: no window of its own; its form paints it and hit-tests it.
class GraphicControl {
public:
    virtual ~GraphicControl();
    GraphicControl(const GraphicControl&) = delete;
    GraphicControl& operator=(const GraphicControl&) = delete;

    float left() const { return bounds.left; }
    float top() const { return bounds.top; }
    float width() const { return bounds.width; }
    float height() const { return bounds.height; }
    bool visible() const { return shown; }

    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
    void setHeight(float twips);
    void setVisible(bool visible);

    // 0 brings the control to the front of its form's lightweight layer, 1 sends it to the back.
    void zOrder(int position);

    void setClickHandler(std::function<void()> handler) { onClick = std::move(handler); }
    void click() const;
    bool takesClickAt(const QPointF& twips) const;

    virtual void paint(QPainter& painter, qreal devicePixelRatio) const = 0;

    Form& form() const { return owner; }
    QRectF rect() const { return QRectF(bounds.left, bounds.top, bounds.width, bounds.height); }

protected:
    // A new control starts at the bottom of its form's lightweight layer.
    GraphicControl(Form& owner, Bounds bounds, bool visible);
    void changed() const;
    virtual bool takesClicks() const { return true; }
    virtual void resized() {}

private:
    // An element loaded into a control array goes directly above the array's last element.
    template <class Control> friend class ControlArray;
    void stackAbove(const GraphicControl& anchor);

    Form& owner;
    Bounds bounds;
    bool shown;
    std::function<void()> onClick;
};

} // namespace tk
