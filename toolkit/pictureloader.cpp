// Loading picture files: the natural size comes from the file's header; the pixels are decoded
// no finer than the picture is drawn, so a camera photo costs about what a thumbnail does.

#include "jpegheader.h"
#include "picture.h"
#include "runtimeerror.h"
#include "systemerror.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace tk {

namespace {

// Kept pixels per drawn device pixel, so that a drawing a little larger needs no new decode and
// the smooth scaling down to it has a little to work with.
constexpr double margin = 1.25;

// JPEG decoders scale by eighths while they decode; other formats decode at eight eighths. Only
// 1, 2, 4 and 8 eighths are asked for: Qt's reader picks the decoder's scale from the size asked
// for by a floating-point division, which these ratios survive exactly.
constexpr int whole = 8;

// Device pixels across that a first decode keeps at least: a picture drawn 297 pixels wide, with
// the margin, at a device pixel ratio of 1.
constexpr int firstDrawingWidth = 400;

QSize eighthsOf(QSize size, int eighths) {
    return QSize((size.width() * eighths + whole - 1) / whole,
                 (size.height() * eighths + whole - 1) / whole);
}

// Within Qt's image allocation limit, counting 32 bits a pixel as every decoder here delivers.
bool decodable(QSize size) {
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    return limit == 0 || qint64(size.width()) * size.height() * 4 <= limit;
}

// What the file was when it was loaded, so that a later decode reads the same picture.
struct FileStamp {
    QString path;
    qint64 bytes = 0;
    QDateTime modified;

    static FileStamp of(const QFileInfo& info) {
        return {info.absoluteFilePath(), info.size(), info.lastModified()};
    }
    bool unchanged() const { return of(QFileInfo(path)) == *this; }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Decodes the file at so many eighths of its stored size, shown upright. Asked for the eighths
// rounded up, Qt's reader would pick the next finer scale and shrink the result itself.
QImage decodeAt(QImageReader& reader, int eighths) {
    reader.setAutoTransform(true);
    if (eighths < whole) {
        const QSize stored = reader.size();
        reader.setScaledSize(QSize(std::max(1, stored.width() * eighths / whole),
                                   std::max(1, stored.height() * eighths / whole)));
    }
    return reader.read();
}

// A picture file whose decoder scales: the pixels are kept as finely as the finest drawing so far
// has needed, and decoded afresh, finer, when a drawing needs more.
class ScaledFileSource final : public Picture::Source {
public:
    ScaledFileSource(FileStamp file, QSize stored, QSize natural, QImage pixels, int eighths)
        : file(std::move(file)), stored(stored), natural(natural), eighths(eighths),
          decoded(bitmapSource(std::move(pixels), natural)) {
        while (finest > eighths && !decodable(eighthsOf(stored, finest)))
            finest /= 2;
    }

    QSize pixelSize() const override { return natural; }

    QImage render(const QRectF& region, QSize deviceSize) const override {
        if (!region.isEmpty()) {
            const double scale = std::max(deviceSize.width() / region.width(),
                                          deviceSize.height() / region.height());
            int wanted = 1;
            while (wanted < finest && wanted < whole * scale * margin)
                wanted *= 2;
            refine(wanted);
        }
        return decoded->render(region, deviceSize);
    }

private:
    // A decode that fails now (the file changed or went away) leaves the pixels that were read
    // when the picture was loaded: drawing never fails.
    void refine(int wanted) const {
        if (wanted <= eighths)
            return;
        QImageReader reader(file.path);
        QImage finer;
        if (file.unchanged() && reader.size() == stored)
            finer = decodeAt(reader, wanted);
        if (finer.isNull()) {
            finest = eighths;
            return;
        }
        eighths = wanted;
        decoded = bitmapSource(std::move(finer), natural);
    }

    FileStamp file;
    QSize stored;
    QSize natural;
    mutable int eighths;
    mutable int finest = whole;
    mutable std::shared_ptr<const Picture::Source> decoded;
};

QString folderOf(const QFileInfo& info) {
    return QDir::toNativeSeparators(info.absolutePath());
}

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
        return QStringLiteral("bilden kunde inte avkodas");
    }
}

// Refuses, before any decoding, a file that cannot be opened and a JPEG file that would stall or
// exhaust the decoder.
void requireReadable(const QString& fileName, const QString& path) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        unreadable(fileName,
                   QStringLiteral("filen kan inte läsas: %1").arg(systemErrorText(errno)));
    const std::optional<jpeg::Header> header = jpeg::readHeader(file);
    std::fclose(file);
    if (header && !jpeg::refusal(*header).empty())
        unreadable(fileName, QString::fromStdString(jpeg::refusal(*header)));
}

QString tooLarge(QSize stored) {
    return QStringLiteral("bilden är för stor för att avkodas (%1 × %2 bildpunkter)")
        .arg(stored.width())
        .arg(stored.height());
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
        throw RuntimeError(QStringLiteral("\"%1\" är en mapp, inte en bildfil.").arg(fileName));
    if (!info.isFile())
        unreadable(fileName, QStringLiteral("den är ingen vanlig fil"));
    if (info.size() == 0)
        unreadable(fileName, QStringLiteral("filen är tom"));

    const FileStamp file = FileStamp::of(info);
    requireReadable(fileName, file.path);
    QImageReader reader(file.path);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        unreadable(fileName, readerReason(reader));
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty())
        unreadable(fileName, QStringLiteral("bildens storlek går inte att läsa"));
    // Photos are shown upright, as their camera recorded them.
    const bool sideways = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize natural = sideways ? stored.transposed() : stored;

    // Decoded now, so that a broken file fails here and not when it is drawn: as coarsely as the
    // decoder can while still fine enough for a drawing a few hundred pixels wide, so that the
    // usual first drawing needs no second decode.
    int eighths = whole;
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        eighths = 1;
        while (eighths < whole && eighthsOf(natural, eighths).width() < firstDrawingWidth)
            eighths *= 2;
    }
    if (!decodable(eighthsOf(stored, eighths)))
        unreadable(fileName, tooLarge(stored));
    QImage pixels = decodeAt(reader, eighths);
    // A decoder that cannot scale while decoding fails on a picture too large for the limit.
    if (pixels.isNull())
        unreadable(fileName, decodable(stored) ? readerReason(reader) : tooLarge(stored));
    if (eighths == whole)
        return fromSource(bitmapSource(std::move(pixels), natural));
    return fromSource(
        std::make_shared<ScaledFileSource>(file, stored, natural, std::move(pixels), eighths));
}

} // namespace tk
