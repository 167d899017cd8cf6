#include "taborder.h"

#include <algorithm>
#include <QWidget>

namespace tk {

void TabOrder::add(QWidget& control, int tabIndex) {
    stops.emplace_back(tabIndex, &control);
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

void TabOrder::apply() const {
    // A container that takes no focus stays out of the chain: Qt would move its children along
    // with it, while their own tab positions may lie elsewhere.
    QWidget* previous = nullptr;
    for (const auto& [index, control] : stops) {
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void TabOrder::focusFirst(const QWidget& window) const {
    for (const auto& [index, control] : stops) {
        if (control->isVisibleTo(&window) && control->isEnabled() &&
            control->focusPolicy() != Qt::NoFocus) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

} // namespace tk
