#include "windowedparts.h"

#include "forms/twips.h"
#include "taborder.h"

#include <QKeyEvent>
#include <QPalette>
#include <QWidget>

namespace tk {

void place(QWidget& control, TabOrder& tabOrder, const Placement& p) {
    control.setGeometry(pixelRect(p.left, p.top, p.width, p.height));
    // Child windows stack in creation order, the first created on top.
    control.lower();
    control.setVisible(p.visible);
    tabOrder.add(control, p.tabIndex);
}

void setColors(QWidget& control, Color back, Color fore) {
    QPalette palette = control.palette();
    const QColor background = toQColor(back);
    const QColor text = toQColor(fore);
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, background);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

bool pressesFocusedButton(const QKeyEvent& event) {
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers others = event.modifiers() & ~Qt::KeypadModifier;
    return enter && others == Qt::NoModifier && !event.isAutoRepeat();
}

} // namespace tk
