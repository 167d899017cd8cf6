#pragma once

#include <QtGlobal>
#include <vector>

class QPainter;
class QPointF;
class QWidget;

namespace tk {

class GraphicControl;

// A window's lightweight controls, bottom first: the order they are painted in, which of them a
// point hits (the topmost that takes clicks there), and the press a release must match.
class Layer {
public:
    explicit Layer(QWidget& surface) : surface(surface) {}
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    void addAtBottom(GraphicControl& control);
    void stackAbove(GraphicControl& control, const GraphicControl& anchor);
    void bringToFront(GraphicControl& control);
    void sendToBack(GraphicControl& control);
    void remove(GraphicControl& control);
    int position(const GraphicControl& control) const; // 0 = bottom
    GraphicControl* controlAt(const QPointF& twips) const;

    void press(const QPointF& twips);
    // The control clicked: the one pressed, if the release is over it too.
    GraphicControl* release(const QPointF& twips);

    void paint(QPainter& painter, qreal devicePixelRatio) const;
    void repaint();

private:
    QWidget& surface;
    std::vector<GraphicControl*> controls;
    GraphicControl* pressed = nullptr;
};

} // namespace tk
