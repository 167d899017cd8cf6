#pragma once

#include <QFont>
#include <QString>

namespace tk {

// A design font: family, size in points at 96 dots per inch, weight 400 (normal) or 700 (bold).
struct FontDesign {
    QString family = QStringLiteral("MS Sans Serif");
    double points = 8.25;
    int weight = 400;
};

// Sized in pixels from the design resolution, so a caption fits its control whatever the
// screen's reported dots per inch; HiDPI scaling enlarges it with everything else.
QFont toQFont(const FontDesign& design);

} // namespace tk
