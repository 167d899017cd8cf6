#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace bench {

// One input of the benchmark: a file name and the size it is drawn at.
struct Input {
    QString fileName;
    QSize size;
    const char* format;
    QString label;
    bool progressive = false;
};

// The small BMP every figure is compared with, then camera photos of 12, 24 and 50 megapixels.
QList<Input> inputs();

// A picture with a photo's detail: sky and ground, texture on four scales, sensor noise, so that
// it compresses as a camera's JPEG does (a few bits a pixel), not as flat colour.
QImage cameraPhoto(QSize size, quint32 seed);

// Writes every input into the folder unless a file of that name is already there.
void writeInputs(const QString& folder);

} // namespace bench
