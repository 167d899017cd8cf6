#pragma once

// The thumbnail cache that file managers and image viewers share: a picture drawn from one of
// its thumbnails needs no decode of the file itself.

#include "pictures/picturefile.h"

#include <QImage>
#include <QSize>

namespace tk::thumbnails {

// The smallest valid thumbnail of the file at least `width` pixels wide, else a null image.
// Valid means: it names this file and its stamp, and has the proportions of `natural` (the
// upright picture's size). Anything wrong with the cache only means there is none.
QImage find(const PictureFile::Stamp& file, QSize natural, int width);

// Saves, from the upright picture's pixels, a thumbnail in every size they are fine enough for
// and the picture is larger than; a failure leaves the cache as it was.
void save(const PictureFile::Stamp& file, const QImage& upright, QSize natural);

} // namespace tk::thumbnails
