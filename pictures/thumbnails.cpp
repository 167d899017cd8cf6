#include "thumbnails.h"

#include "runtime/regularfile.h"
#include "thumbnailfile.h"
#include "thumbnailname.h"
#include "thumbnailpng.h"

#include <optional>
#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QImageWriter>
#include <utility>

namespace tk::thumbnails {

namespace {

// Larger than any thumbnail's PNG, so that a foreign file in the cache is not read whole.
constexpr std::size_t largestFile = 16 * 1024 * 1024;

using File = PictureFile::Stamp;

std::string pathBytes(const File& file) {
    return file.path.toStdString();
}

QByteArray uriOf(const File& file) {
    return QByteArray::fromStdString(thumbnails::uriOf(pathBytes(file)));
}

QByteArray mtimeOf(const File& file) {
    return QByteArray::number(file.modified.toSecsSinceEpoch());
}

// Width and height in the same proportion as the picture's, give or take a pixel's rounding.
bool proportional(QSize thumbnail, QSize natural) {
    const qint64 cross =
        qint64(thumbnail.width()) * natural.height() - qint64(thumbnail.height()) * natural.width();
    return std::abs(cross) <= qint64(natural.width()) + natural.height();
}

// A thumbnail that stands for `file` as it is now and is at least `width` wide: its bytes and the
// size its header gives, found from its chunks alone, without decoding its pixels.
std::optional<std::pair<QByteArray, QSize>> current(const QString& path, const File& file,
                                                    QSize natural, int width) {
    RegularFile thumbnail(QFile::encodeName(path).toStdString());
    const std::optional<std::string> read = thumbnail.readAll(largestFile);
    if (!read)
        return {};
    QByteArray bytes = QByteArray::fromStdString(*read);
    PngFacts facts;
    if (!readPng(bytes, facts) || facts.size.isEmpty() || facts.size.width() < width ||
        facts.size.width() > 1024 || facts.size.height() > 1024 ||
        !proportional(facts.size, natural))
        return {};
    const auto text = [&facts](const char* key) { return facts.texts.value(key); };
    if (text("Thumb::URI") != uriOf(file) || text("Thumb::MTime") != mtimeOf(file))
        return {};
    if (facts.texts.contains("Thumb::Size") &&
        text("Thumb::Size") != QByteArray::number(file.bytes))
        return {};
    return std::pair{std::move(bytes), facts.size};
}

QImage valid(const QString& path, const File& file, QSize natural, int width) {
    const auto found = current(path, file, natural, width);
    if (!found)
        return {};
    QImage image = QImage::fromData(found->first, "PNG");
    if (image.size() != found->second)
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

// The PNG with the cache's keys in plain text chunks right after the header, where readers
// that stop at the image data still find them.
QByteArray encoded(const QImage& image, const File& file) {
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "PNG");
        if (!writer.write(image))
            return {};
    }
    const qsizetype afterHeader = pngSignature.size() + 12 + 13;
    if (png.size() < afterHeader)
        return {};
    QByteArray texts;
    const auto text = [&texts](QByteArrayView key, QByteArrayView value) {
        texts += pngChunk("tEXt", key.toByteArray() + '\0' + value.toByteArray());
    };
    text("Thumb::URI", uriOf(file));
    text("Thumb::MTime", mtimeOf(file));
    text("Thumb::Size", QByteArray::number(file.bytes));
    text("Software", "Bitvik");
    return png.insert(afterHeader, texts);
}

} // namespace

QImage find(const File& file, QSize natural, int width) {
    const std::string absolute = pathBytes(file);
    for (const Size& size : sizes) {
        const QString path = QString::fromStdString(pathOf(absolute, size));
        if (path.isEmpty())
            return {};
        if (QImage image = valid(path, file, natural, width); !image.isNull())
            return image;
    }
    return {};
}

void save(const File& file, const QImage& upright, QSize natural) {
    const std::string absolute = pathBytes(file);
    // Nothing is made of the cache's own files.
    const std::string cache = cacheFolder();
    if (cache.empty() || absolute.starts_with(cache + '/'))
        return;
    for (const Size& size : sizes) {
        const QSize box(size.box, size.box);
        if (natural.width() <= size.box && natural.height() <= size.box)
            return;
        if (upright.width() < size.box && upright.height() < size.box)
            return;
        const std::string path = pathOf(absolute, size);
        if (current(QString::fromStdString(path), file, natural, 0))
            continue;
        const QImage scaled = upright.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QByteArray png = encoded(scaled.convertToFormat(QImage::Format_RGB32), file);
        if (!png.isEmpty())
            writeFile(path, std::string_view(png.constData(), std::size_t(png.size())));
    }
}

} // namespace tk::thumbnails
