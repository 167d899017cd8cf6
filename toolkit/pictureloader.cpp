// Loading picture files: the natural size comes from the file's header; the pixels are decoded
// only as finely as a screen can show them, so a camera photo costs about what a thumbnail does.

#include "picture.h"
#include "runtimeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <algorithm>

namespace tk {

namespace {

// Pictures are drawn at most screen-sized; on a bare machine assume a generous screen.
QSize decodeBound() {
    QSize bound(2048, 2048);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize device = screen->size() * screen->devicePixelRatio();
        const int side = std::max(device.width(), device.height());
        bound = bound.expandedTo(QSize(side, side));
    }
    return bound;
}

QString folderOf(const QFileInfo& info) { return QDir::toNativeSeparators(info.absolutePath()); }

[[noreturn]] void unreadable(const QString& fileName, const QString& reason) {
    throw RuntimeError(
        QStringLiteral("Bildfilen \"%1\" kan inte läsas som bild (BMP, GIF eller JPEG): %2.")
            .arg(fileName, reason));
}

QString readerReason(const QImageReader& reader) {
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("filens innehåll är inte en bild av känt slag");
    case QImageReader::InvalidDataError:
        return QStringLiteral("bilddata är skadade eller ofullständiga");
    case QImageReader::DeviceError:
        return QStringLiteral("filen kunde inte läsas");
    default:
        return QStringLiteral("bilden kunde inte avkodas (den kan vara för stor)");
    }
}

bool swapsSides(QImageIOHandler::Transformations transformation) {
    return transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

} // namespace

Picture Picture::load(const QString& fileName) {
    const QFileInfo info(fileName);
    if (fileName.isEmpty())
        throw RuntimeError(QStringLiteral("Inget bildfilnamn är angivet."));
    if (!info.exists())
        throw RuntimeError(QStringLiteral("Bildfilen \"%1\" finns inte i mappen %2.")
                               .arg(fileName, folderOf(info)));
    if (info.isDir())
        throw RuntimeError(
            QStringLiteral("\"%1\" är en mapp, inte en bildfil.").arg(fileName));
    if (!info.isFile())
        unreadable(fileName, QStringLiteral("den är ingen vanlig fil"));
    if (info.size() == 0)
        unreadable(fileName, QStringLiteral("filen är tom"));

    QImageReader reader(info.absoluteFilePath());
    reader.setAutoTransform(true);
    if (!reader.canRead())
        unreadable(fileName, readerReason(reader));
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty())
        unreadable(fileName, QStringLiteral("bildens storlek går inte att läsa"));

    // Photos are shown upright, as their camera recorded them.
    const bool swapped = swapsSides(reader.transformation());
    const QSize natural = swapped ? stored.transposed() : stored;

    const QSize bound = decodeBound();
    if (reader.supportsOption(QImageIOHandler::ScaledSize) &&
        (stored.width() > bound.width() || stored.height() > bound.height()))
        reader.setScaledSize(stored.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));

    QImage pixels = reader.read();
    if (pixels.isNull())
        unreadable(fileName, readerReason(reader));
    if (pixels.width() > bound.width() || pixels.height() > bound.height())
        pixels = pixels.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return fromSource(bitmapSource(std::move(pixels), natural));
}

} // namespace tk
