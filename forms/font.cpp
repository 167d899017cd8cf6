#include "forms/font.h"

#include <cmath>
#include <QStringList>

namespace tk {

namespace {

// "MS Sans Serif" exists only as a bitmap face, and then only at a few sizes; Liberation Sans
// (Debian's fonts-liberation) has Arial's metrics, close to its widths, and scales to any pixel
// ratio. The faces after it keep captions inside their controls where it is missing.
QStringList familiesFor(const QString& family) {
    if (family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial"),
                QStringLiteral("Microsoft Sans Serif")};
    return {family};
}

} // namespace

QFont toQFont(const FontDesign& design) {
    QFont font;
    font.setFamilies(familiesFor(design.family));
    font.setPixelSize(int(std::lround(design.points * 96.0 / 72.0)));
    font.setWeight(design.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace tk
