#include "font.h"

#include <cmath>

namespace tk {

QFont toQFont(const FontDesign& design) {
    QFont font(design.family);
    font.setPixelSize(int(std::lround(design.points * 96.0 / 72.0)));
    font.setWeight(design.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace tk
