#include "forms/color.h"

#include <QGuiApplication>
#include <QPalette>

namespace tk {

namespace {

QColor systemColor(quint32 index) {
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 5: // window background
        return palette.color(QPalette::Base);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    default:
        return palette.color(QPalette::Window);
    }
}

} // namespace

QColor toQColor(Color color) {
    if (color & 0x80000000u)
        return systemColor(color & 0x00FFFFFFu);
    return QColor(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF));
}

} // namespace tk
