#pragma once

#include "pictures/picture.h"

#include <atomic>
#include <QDateTime>
#include <QImageIOHandler>
#include <QString>

namespace tk {

class EarlyDecode;

// A picture file whose header has been read: every failure that the file's name, kind or
// header can cause has happened; only the decode of its pixels is left.
class PictureFile {
public:
    // Throws the run-time error that names what is wrong with the file.
    static PictureFile open(const QString& fileName);

    const QString& name() const { return fileName; }
    QSize naturalSize() const { return natural; }

    // The picture, its pixels fine enough for a first drawing `drawnWidth` device pixels wide:
    // from the thumbnail cache, from `early` when it decoded this very file, else decoded now.
    // Throws when the pixels cannot be decoded; a null picture when `cancelled` stopped it.
    Picture decode(int drawnWidth, EarlyDecode* early = nullptr) const;

    // The same in two steps, for a decode on another thread: the upright pixels (a null image
    // when `cancelled` stopped the decode), then the picture that keeps them. `thumbnailsToo`
    // decodes a picture larger than the smallest thumbnail at least as finely as it needs.
    QImage pixels(int drawnWidth, EarlyDecode* early, const std::atomic<bool>& cancelled,
                  bool thumbnailsToo = false) const;
    Picture picture(QImage pixels) const;

    // Saves to the thumbnail cache what the upright pixels are fine enough for.
    void saveThumbnails(const QImage& pixels) const;

    // The file as it was when opened; `path` is its absolute name as the folder holds it, which
    // need not be valid UTF-8.
    struct Stamp {
        QByteArray path;
        qint64 bytes = 0;
        QDateTime modified;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    const Stamp& stamp() const { return file; }

private:
    QString fileName;
    QByteArray nativeName; // fileName as the folder holds it
    Stamp file;
    QSize stored;
    QSize natural;
    QImageIOHandler::Transformations turn;
    bool jpeg = false;
    bool scalable = false;
};

} // namespace tk
