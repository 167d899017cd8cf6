#pragma once

#include "pictures/picture.h"

#include <vector>

namespace tk {

// A non-visual picture cutter: lays a grid of rows x columns over a picture and hands out the
// picture of cell k, numbered from 0 row by row. Every read of cell k yields the same object.
class PictureClip {
public:
    void setPicture(Picture picture);
    void setRows(int count);
    void setCols(int count);

    int rows() const { return rowCount; }
    int cols() const { return colCount; }

    // Cells share out the pixels in proportion: edge c of n lies at floor(c * size / n).
    Picture cell(int index) const;

private:
    void cut() const;

    Picture source;
    int rowCount = 1;
    int colCount = 1;
    mutable std::vector<Picture> cells;
};

} // namespace tk
