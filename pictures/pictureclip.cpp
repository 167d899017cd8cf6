#include "pictures/pictureclip.h"

#include "runtime/runtimeerror.h"

namespace tk {

namespace {
// As many cells as a 16-bit cell number reaches.
constexpr qint64 maxCells = 32768;
} // namespace

void PictureClip::setPicture(Picture picture) {
    source = std::move(picture);
    cells.clear();
}

void PictureClip::setRows(int count) {
    rowCount = count;
    cells.clear();
}

void PictureClip::setCols(int count) {
    colCount = count;
    cells.clear();
}

void PictureClip::cut() const {
    if (source.isNull())
        throw RuntimeError(QStringLiteral("Bildklipparen har ingen bild att dela."));
    if (rowCount < 1 || colCount < 1)
        throw RuntimeError(QStringLiteral("Bildklipparen kan inte dela en bild i %1 rader och %2 "
                                          "kolumner.")
                               .arg(rowCount)
                               .arg(colCount));
    if (qint64(rowCount) * colCount > maxCells)
        throw RuntimeError(QStringLiteral("Bildklipparen kan inte dela en bild i %1 × %2 rutor; "
                                          "högst %3 går.")
                               .arg(rowCount)
                               .arg(colCount)
                               .arg(maxCells));
    const QSize size = source.pixelSize();
    const auto edge = [](int c, int length, int n) { return int(qint64(c) * length / n); };
    cells.reserve(std::size_t(rowCount) * std::size_t(colCount));
    for (int r = 0; r < rowCount; ++r) {
        const int y0 = edge(r, size.height(), rowCount);
        const int y1 = edge(r + 1, size.height(), rowCount);
        for (int c = 0; c < colCount; ++c) {
            const int x0 = edge(c, size.width(), colCount);
            const int x1 = edge(c + 1, size.width(), colCount);
            cells.push_back(source.part(QRect(x0, y0, x1 - x0, y1 - y0)));
        }
    }
}

Picture PictureClip::cell(int index) const {
    if (cells.empty())
        cut();
    if (index < 0 || std::size_t(index) >= cells.size())
        throw RuntimeError(QStringLiteral("Ruta %1 finns inte: bilden är delad i %2 rutor.")
                               .arg(index)
                               .arg(cells.size()));
    return cells[std::size_t(index)];
}

} // namespace tk
