#include "layer.h"

#include "forms/graphiccontrol.h"

#include <algorithm>
#include <QWidget>
#include <utility>

namespace tk {

void Layer::addAtBottom(GraphicControl& control) {
    controls.insert(controls.begin(), &control);
}

void Layer::stackAbove(GraphicControl& control, const GraphicControl& anchor) {
    std::erase(controls, &control);
    const auto at = std::find(controls.begin(), controls.end(), &anchor);
    controls.insert(at == controls.end() ? controls.end() : at + 1, &control);
    repaint();
}

void Layer::bringToFront(GraphicControl& control) {
    std::erase(controls, &control);
    controls.push_back(&control);
    repaint();
}

void Layer::sendToBack(GraphicControl& control) {
    std::erase(controls, &control);
    controls.insert(controls.begin(), &control);
    repaint();
}

void Layer::remove(GraphicControl& control) {
    std::erase(controls, &control);
    if (pressed == &control)
        pressed = nullptr;
    repaint();
}

int Layer::position(const GraphicControl& control) const {
    const auto at = std::find(controls.begin(), controls.end(), &control);
    return at == controls.end() ? -1 : int(at - controls.begin());
}

GraphicControl* Layer::controlAt(const QPointF& twips) const {
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        if ((*it)->takesClickAt(twips))
            return *it;
    }
    return nullptr;
}

void Layer::press(const QPointF& twips) {
    pressed = controlAt(twips);
}

GraphicControl* Layer::release(const QPointF& twips) {
    GraphicControl* control = std::exchange(pressed, nullptr);
    return control && controlAt(twips) == control ? control : nullptr;
}

void Layer::paint(QPainter& painter, qreal ratio) const {
    for (const GraphicControl* control : controls) {
        if (control->visible())
            control->paint(painter, ratio);
    }
}

void Layer::repaint() {
    surface.update();
}

} // namespace tk
