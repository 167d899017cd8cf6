// Loading picture files: the natural size comes from the file's header; the pixels come from the
// thumbnail cache when it holds them, and are otherwise decoded no finer than the picture is
// drawn, so that a camera photo costs about what a thumbnail does.

#include "pictures/picturefile.h"

#include "jpegbounds.h"
#include "picturelimit.h"
#include "pictures/earlydecode.h"
#include "pictures/jpegdecoder.h"
#include "pictures/picture.h"
#include "runtime/filenames.h"
#include "runtime/regularfile.h"
#include "runtime/runtimeerror.h"
#include "runtime/systemerror.h"
#include "thumbnailname.h"
#include "thumbnails.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <sys/stat.h>
#include <unistd.h>

namespace tk {

namespace {

// JPEG decoders scale by eighths while they decode; other formats decode at eight eighths.
constexpr int whole = 8;

QSize eighthsOf(QSize size, int eighths) {
    return QSize((size.width() * eighths + whole - 1) / whole,
                 (size.height() * eighths + whole - 1) / whole);
}

bool decodable(QSize size) {
    return withinPictureLimit(size.width(), size.height());
}

PictureFile::Stamp stampOf(const QByteArray& path, const struct stat& info) {
    return {path, qint64(info.st_size),
            QDateTime::fromMSecsSinceEpoch(qint64(info.st_mtim.tv_sec) * 1000 +
                                           info.st_mtim.tv_nsec / 1000000)};
}

bool unchanged(const PictureFile::Stamp& stamp) {
    struct stat info = {};
    return ::stat(stamp.path.constData(), &info) == 0 && stampOf(stamp.path, info) == stamp;
}

// The absolute name of the file that `native` (the bytes of `fileName`) names: the folder as
// `fileName` gives it, cleaned, and the file's own name as the folder holds it.
QByteArray absoluteOf(const QString& fileName, const QByteArray& native) {
    QByteArray folder = QFile::encodeName(QFileInfo(fileName).absolutePath());
    if (!folder.endsWith('/'))
        folder += '/';
    return folder + native.mid(native.lastIndexOf('/') + 1);
}

// Qt's reader on the file opened as every file here is; it tells the format from the contents.
class FileReader {
public:
    explicit FileReader(const QByteArray& path) {
        // Qt's decoders keep to the programs' own limit too; set once, before any of them runs.
        static const bool limited = [] {
            QImageReader::setAllocationLimit(pictureLimitMegabytes);
            return true;
        }();
        Q_UNUSED(limited);
        RegularFile opened(path.toStdString());
        if (opened.isOpen()) {
            // A descriptor that QFile does not take is closed here; the reader then finds no file.
            const int descriptor = opened.release();
            if (!device.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
                ::close(descriptor);
        }
        reader.setDevice(&device);
    }
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    QImageReader& operator*() { return reader; }
    QImageReader* operator->() { return &reader; }

private:
    QFile device;
    QImageReader reader;
};

// The stored size as the header gives it. A BMP stored from its top row down gives its height
// as negative, which Qt's reader passes on, though it decodes such a file as any other.
QSize storedSize(QImageReader& reader) {
    QSize size = reader.size();
    if (reader.format() == "bmp" && size.width() > 0 && size.height() < 0 &&
        size.height() > std::numeric_limits<int>::min())
        size.setHeight(-size.height());
    return size;
}

// Stored pixels turned as the camera recorded them.
QImage upright(QImage image, QImageIOHandler::Transformations turn) {
    if (turn == QImageIOHandler::TransformationNone || image.isNull())
        return image;
    if (turn == QImageIOHandler::TransformationRotate270)
        return image.transformed(QTransform().rotate(270));
#if QT_VERSION >= QT_VERSION_CHECK(6, 9, 0)
    Qt::Orientations flips;
    flips.setFlag(Qt::Horizontal, turn.testFlag(QImageIOHandler::TransformationMirror));
    flips.setFlag(Qt::Vertical, turn.testFlag(QImageIOHandler::TransformationFlip));
    image = image.flipped(flips);
#else
    image = image.mirrored(turn.testFlag(QImageIOHandler::TransformationMirror),
                           turn.testFlag(QImageIOHandler::TransformationFlip));
#endif
    if (turn.testFlag(QImageIOHandler::TransformationRotate90))
        return image.transformed(QTransform().rotate(90));
    return image;
}

QImage imageOf(jpeg::Pixels pixels) {
    auto* kept = new std::vector<std::uint32_t>(std::move(pixels.rgb));
    return QImage(
        reinterpret_cast<const uchar*>(kept->data()), pixels.width, pixels.height, pixels.width * 4,
        QImage::Format_RGB32,
        [](void* owned) { delete static_cast<std::vector<std::uint32_t>*>(owned); }, kept);
}

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

// The fewest eighths at which a picture larger than the smallest thumbnail fills it: that many
// pixels on its longer side.
int eighthsForThumbnail(QSize stored) {
    const int longer = std::max(stored.width(), stored.height());
    const int box = thumbnails::sizes[0].box;
    int eighths = 1;
    while (longer > box && eighths < whole && (longer * eighths + whole - 1) / whole < box)
        eighths *= 2;
    return eighths;
}

QString folderOf(const QFileInfo& info) {
    return QDir::toNativeSeparators(info.absolutePath());
}

[[noreturn]] void unreadable(const QString& fileName, const QString& reason) {
    throw RuntimeError(
        QStringLiteral("Bildfilen \"%1\" kan inte läsas som bild (BMP, GIF eller JPEG): %2.")
            .arg(fileName, reason));
}

QString damagedData() {
    return QStringLiteral("bilddata är skadade eller ofullständiga");
}

QString readerReason(const QImageReader& reader) {
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("filens innehåll är inte en bild av känt slag");
    case QImageReader::InvalidDataError:
        return damagedData();
    case QImageReader::DeviceError:
        return QStringLiteral("filen kunde inte läsas");
    default:
        return QStringLiteral("bilden kunde inte avkodas");
    }
}

QString tooLarge(QSize stored) {
    return QStringLiteral("bilden är för stor för att avkodas (%1 × %2 bildpunkter)")
        .arg(stored.width())
        .arg(stored.height());
}

// The logical screen a GIF file's frames are drawn on, which Qt's reader allocates whole though it
// gives the first frame's size for a screen past its own limits; empty for another kind of file.
QSize gifScreen(std::FILE* file) {
    unsigned char head[10];
    const bool isGif =
        std::fread(head, 1, sizeof head, file) == sizeof head && std::memcmp(head, "GIF8", 4) == 0;
    std::rewind(file);
    return isGif ? QSize(head[6] | head[7] << 8, head[8] | head[9] << 8) : QSize();
}

// Refuses, before any decoding, a file that cannot be opened, a GIF file whose screen is too large,
// and a JPEG file that would stall or exhaust the decoder.
void requireReadable(const QString& fileName, const QByteArray& path) {
    RegularFile opened(path.toStdString());
    if (opened.failure() == RegularFile::Failure::NotRegular)
        unreadable(fileName, QStringLiteral("den är ingen vanlig fil"));
    std::FILE* file = opened.releaseStream();
    if (!file)
        unreadable(fileName, QStringLiteral("filen kan inte läsas: %1")
                                 .arg(systemErrorText(opened.isOpen() ? errno : opened.error())));
    if (const QSize screen = gifScreen(file); !decodable(screen)) {
        std::fclose(file);
        unreadable(fileName, tooLarge(screen));
    }
    const std::optional<jpeg::Header> header = jpeg::readHeader(file, jpeg::Scans::Counted);
    std::fclose(file);
    if (header && !jpeg::refusal(*header).empty())
        unreadable(fileName, QString::fromStdString(jpeg::refusal(*header)));
}

// The file decoded at so many eighths, upright; a null image when the file changed since it
// was opened or cannot be decoded. Every JPEG file is decoded by the JPEG decoder here, which
// keeps the bounds; Qt's reader takes the other kinds.
QImage decodeFile(const PictureFile::Stamp& file, QSize stored,
                  QImageIOHandler::Transformations turn, bool isJpeg, int eighths,
                  const std::atomic<bool>& cancelled, QString* failure = nullptr) {
    if (isJpeg) {
        jpeg::Pixels pixels;
        std::string refused;
        switch (jpeg::decode(file.path.toStdString(), eighths, cancelled, pixels, &refused)) {
        case jpeg::Outcome::Decoded:
            return unchanged(file) ? upright(imageOf(std::move(pixels)), turn) : QImage();
        case jpeg::Outcome::Cancelled:
            return {};
        case jpeg::Outcome::Failed:
            if (failure && unchanged(file))
                *failure = refused.empty() ? damagedData() : QString::fromStdString(refused);
            return {};
        }
    }
    FileReader reader(file.path);
    if (!unchanged(file) || storedSize(*reader) != stored)
        return {};
    QImage image = decodeAt(*reader, eighths);
    if (image.isNull() && failure)
        *failure = readerReason(*reader);
    return image;
}

const std::atomic<bool> never{false};

// A picture file whose decoder scales: the pixels are kept as finely as the finest drawing so far
// has needed, and decoded afresh, finer, when a drawing needs more.
class ScaledFileSource final : public Picture::Source {
public:
    ScaledFileSource(PictureFile::Stamp file, QSize stored, QSize natural,
                     QImageIOHandler::Transformations turn, bool isJpeg, QImage pixels)
        : file(std::move(file)), stored(stored), natural(natural), turn(turn), isJpeg(isJpeg),
          keptWidth(pixels.width()), decoded(bitmapSource(std::move(pixels), natural)) {
        while (finest > 1 && !decodable(eighthsOf(stored, finest)))
            finest /= 2;
    }

    QSize pixelSize() const override { return natural; }

    // Fewer pixels kept than drawn: decoded afresh, with the margin. A decode that fails (the
    // file changed or went away) leaves the pixels that were read when the picture was loaded:
    // drawing never fails.
    Refinement refinement(const QRectF& region, QSize deviceSize) const override {
        if (region.isEmpty())
            return {};
        const double scale =
            std::max(deviceSize.width() / region.width(), deviceSize.height() / region.height());
        if (keptWidth >= std::floor(natural.width() * scale))
            return {};
        int wanted = 1;
        while (wanted < finest && wanted < whole * scale * jpeg::margin)
            wanted *= 2;
        if (eighthsOf(natural, wanted).width() <= keptWidth)
            return {};
        return [file = file, stored = stored, natural = natural, turn = turn, isJpeg = isJpeg,
                wanted](const std::atomic<bool>& cancelled) -> std::shared_ptr<Picture::Source> {
            QImage finer = decodeFile(file, stored, turn, isJpeg, wanted, cancelled);
            if (finer.isNull())
                return nullptr;
            return std::make_shared<ScaledFileSource>(file, stored, natural, turn, isJpeg,
                                                      std::move(finer));
        };
    }

    QImage render(const QRectF& region, QSize deviceSize) const override {
        return decoded->render(region, deviceSize);
    }

private:
    PictureFile::Stamp file;
    QSize stored;
    QSize natural;
    QImageIOHandler::Transformations turn;
    bool isJpeg;
    int keptWidth;
    int finest = whole;
    std::shared_ptr<const Picture::Source> decoded;
};

} // namespace

PictureFile PictureFile::open(const QString& fileName) {
    if (fileName.isEmpty())
        throw RuntimeError(QStringLiteral("Inget bildfilnamn är angivet."));
    const QByteArray native = fileNameBytes(fileName);
    struct stat info = {};
    if (::stat(native.constData(), &info) != 0)
        throw RuntimeError(QStringLiteral("Bildfilen \"%1\" finns inte i mappen %2.")
                               .arg(fileName, folderOf(QFileInfo(fileName))));
    if (S_ISDIR(info.st_mode))
        throw RuntimeError(QStringLiteral("\"%1\" är en mapp, inte en bildfil.").arg(fileName));
    if (!S_ISREG(info.st_mode))
        unreadable(fileName, QStringLiteral("den är ingen vanlig fil"));
    if (info.st_size == 0)
        unreadable(fileName, QStringLiteral("filen är tom"));

    PictureFile file;
    file.fileName = fileName;
    file.nativeName = native;
    file.file = stampOf(absoluteOf(fileName, native), info);
    requireReadable(fileName, file.file.path);
    FileReader opened(file.file.path);
    QImageReader& reader = *opened;
    reader.setAutoTransform(true);
    if (!reader.canRead())
        unreadable(fileName, readerReason(reader));
    file.stored = storedSize(reader);
    if (!file.stored.isValid() || file.stored.isEmpty())
        unreadable(fileName, QStringLiteral("bildens storlek går inte att läsa"));
    // Photos are shown upright, as their camera recorded them.
    file.turn = reader.transformation();
    file.natural = file.turn.testFlag(QImageIOHandler::TransformationRotate90)
                       ? file.stored.transposed()
                       : file.stored;
    file.jpeg = reader.format() == "jpeg";
    file.scalable = reader.supportsOption(QImageIOHandler::ScaledSize);
    return file;
}

QImage PictureFile::pixels(int drawnWidth, EarlyDecode* early, const std::atomic<bool>& cancelled,
                           bool thumbnailsToo) const {
    // Decoded now, so that a broken file fails here and not when it is drawn: as coarsely as the
    // decoder can while still fine enough for the first drawing, which then needs no second
    // decode.
    int eighths = scalable ? jpeg::eighthsFor(natural.width(), drawnWidth) : whole;
    if (scalable && thumbnailsToo)
        eighths = std::max(eighths, eighthsForThumbnail(stored));
    if (!decodable(eighthsOf(stored, eighths)))
        unreadable(fileName, tooLarge(stored));
    if (scalable) {
        if (QImage thumbnail = thumbnails::find(file, natural, drawnWidth); !thumbnail.isNull())
            return thumbnail;
    }
    if (early && jpeg) {
        if (auto done = early->take(nativeName.toStdString()); done && done->eighths >= eighths)
            return upright(imageOf(std::move(done->pixels)), turn);
    }
    QString failure = QStringLiteral("filen ändrades medan den lästes");
    QImage image = decodeFile(file, stored, turn, jpeg, eighths, cancelled, &failure);
    // Qt's other decoders scale after decoding the whole picture, which fails past the limit.
    if (image.isNull() && !cancelled)
        unreadable(fileName, jpeg || decodable(stored) ? failure : tooLarge(stored));
    return image;
}

Picture PictureFile::picture(QImage pixels) const {
    if (pixels.isNull())
        return {};
    if (!scalable || pixels.size() == natural)
        return Picture::fromSource(bitmapSource(std::move(pixels), natural));
    return Picture::fromSource(
        std::make_shared<ScaledFileSource>(file, stored, natural, turn, jpeg, std::move(pixels)));
}

Picture PictureFile::decode(int drawnWidth, EarlyDecode* early) const {
    return picture(pixels(drawnWidth, early, never));
}

void PictureFile::saveThumbnails(const QImage& pixels) const {
    if (scalable && unchanged(file))
        thumbnails::save(file, pixels, natural);
}

} // namespace tk
