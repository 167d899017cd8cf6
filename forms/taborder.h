#pragma once

#include <utility>
#include <vector>

class QWidget;

namespace tk {

// The order Tab moves through a window's windowed controls, by their tab positions; equal
// positions keep the order the controls were added in.
class TabOrder {
public:
    void add(QWidget& control, int tabIndex);
    void apply() const;
    // Gives the focus to the first control in the order that can take it.
    void focusFirst(const QWidget& window) const;

private:
    std::vector<std::pair<int, QWidget*>> stops;
};

} // namespace tk
