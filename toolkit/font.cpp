#include "font.h"

#include <QStringList>
#include <cmath>

namespace tk {

QFont toQFont(const FontDesign& design) {
    // Where the design family is missing, a face of about its width keeps captions inside
    // their controls; the system's default sans serif face is often much wider.
    QFont font;
    font.setFamilies(QStringList{design.family, QStringLiteral("Microsoft Sans Serif"),
                                 QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(int(std::lround(design.points * 96.0 / 72.0)));
    font.setWeight(design.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace tk
