#pragma once

#include "runtime/runtimeerror.h"

#include <functional>
#include <map>
#include <memory>
#include <QString>

namespace tk {

// Elements addressed by index; click handlers receive the index of the element clicked.
// Loading element k at run time creates a hidden copy of element 0's design values, stacked
// directly above the array's last element, so loaded elements never rise above other controls.
template <class Control> class ControlArray {
public:
    using ClickHandler = std::function<void(int index)>;

    explicit ControlArray(QString name) : arrayName(std::move(name)) {}
    ControlArray(QString name, std::unique_ptr<Control> element0) : arrayName(std::move(name)) {
        add(0, std::move(element0));
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    // A design element, in creation order.
    void add(int index, std::unique_ptr<Control> element) {
        Control& added = *element;
        elements[index] = std::move(element);
        last = &added;
        if constexpr (requires { added.setClickHandler(std::function<void()>()); }) {
            added.setClickHandler([this, index] {
                if (onClick)
                    onClick(index);
            });
        }
    }

    Control& operator()(int index) const {
        const auto found = elements.find(index);
        if (found == elements.end())
            throw RuntimeError(
                QStringLiteral("Elementet %1(%2) finns inte.").arg(arrayName).arg(index));
        return *found->second;
    }

    void load(int index) {
        if (index < 0 || index > 32767)
            throw RuntimeError(QStringLiteral("%1(%2) kan inte läsas in: ogiltigt index.")
                                   .arg(arrayName)
                                   .arg(index));
        if (elements.contains(index))
            throw RuntimeError(QStringLiteral("%1(%2) är redan inläst.").arg(arrayName).arg(index));
        std::unique_ptr<Control> element = (*this)(0).cloneDesign();
        element->stackAbove(*last);
        add(index, std::move(element));
    }

    bool contains(int index) const { return elements.contains(index); }
    int count() const { return int(elements.size()); }
    void setClickHandler(ClickHandler handler) { onClick = std::move(handler); }

private:
    QString arrayName;
    std::map<int, std::unique_ptr<Control>> elements;
    Control* last = nullptr;
    ClickHandler onClick;
};

} // namespace tk
