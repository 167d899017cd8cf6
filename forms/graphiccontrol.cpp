#include "forms/graphiccontrol.h"

#include "formparts.h"

#include <QPointF>

namespace tk {

GraphicControl::GraphicControl(Form& form, Bounds b, bool visible)
    : owner(form), bounds(b), shown(visible) {
    layerOf(owner).addAtBottom(*this);
}

GraphicControl::~GraphicControl() {
    layerOf(owner).remove(*this);
}

void GraphicControl::changed() const {
    if (shown)
        layerOf(owner).repaint();
}

void GraphicControl::setLeft(float twips) {
    bounds.left = twips;
    changed();
}

void GraphicControl::setTop(float twips) {
    bounds.top = twips;
    changed();
}

void GraphicControl::setWidth(float twips) {
    bounds.width = twips;
    resized();
    changed();
}

void GraphicControl::setHeight(float twips) {
    bounds.height = twips;
    resized();
    changed();
}

void GraphicControl::setVisible(bool visible) {
    if (shown == visible)
        return;
    shown = visible;
    layerOf(owner).repaint();
}

void GraphicControl::zOrder(int position) {
    if (position == 0)
        layerOf(owner).bringToFront(*this);
    else
        layerOf(owner).sendToBack(*this);
}

void GraphicControl::stackAbove(const GraphicControl& anchor) {
    layerOf(owner).stackAbove(*this, anchor);
}

void GraphicControl::click() const {
    if (onClick)
        onClick();
}

// The control spans [left, left + width) across and [top, top + height) down.
bool GraphicControl::takesClickAt(const QPointF& p) const {
    return shown && takesClicks() && p.x() >= bounds.left && p.x() < bounds.left + bounds.width &&
           p.y() >= bounds.top && p.y() < bounds.top + bounds.height;
}

} // namespace tk
