#include "thumbnails.h"

#include "thumbnailname.h"

#include <cstdio>
#include <optional>
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QTemporaryFile>
#include <QtEndian>
#include <utility>
#include <zlib.h>

namespace tk::thumbnails {

namespace {

constexpr QByteArrayView signature("\x89PNG\r\n\x1a\n", 8);
// Larger than any thumbnail's PNG, so that a foreign file in the cache is not read whole.
constexpr qint64 largestFile = 16 * 1024 * 1024;

struct PngFacts {
    QSize size;
    QHash<QByteArray, QByteArray> texts;
};

QByteArray inflated(QByteArrayView compressed) {
    QByteArray out;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = uInt(compressed.size());
    char chunk[4096];
    int status = Z_OK;
    while (status == Z_OK && out.size() < 65536) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

// A text chunk's key and value: tEXt, zTXt, or iTXt when not compressed.
void readText(QByteArrayView type, QByteArrayView data, PngFacts& facts) {
    const qsizetype end = data.indexOf('\0');
    if (end <= 0)
        return;
    const QByteArray key = data.first(end).toByteArray();
    QByteArrayView rest = data.sliced(end + 1);
    if (type == "tEXt") {
        facts.texts.insert(key, rest.toByteArray());
    } else if (type == "zTXt" && rest.size() >= 1 && rest[0] == 0) {
        facts.texts.insert(key, inflated(rest.sliced(1)));
    } else if (type == "iTXt" && rest.size() >= 2 && rest[0] == 0) {
        rest = rest.sliced(2);
        for (int skipped = 0; skipped < 2; ++skipped) { // language tag, translated key
            const qsizetype zero = rest.indexOf('\0');
            if (zero < 0)
                return;
            rest = rest.sliced(zero + 1);
        }
        facts.texts.insert(key, rest.toByteArray());
    }
}

// Walks the chunks to IEND, checking each one's CRC, so that a truncated or damaged file is
// refused before it is decoded.
bool readPng(const QByteArray& bytes, PngFacts& facts) {
    if (!bytes.startsWith(signature))
        return false;
    qsizetype at = signature.size();
    while (at + 12 <= bytes.size()) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        if (length > quint32(bytes.size() - at - 12))
            return false;
        const QByteArrayView type(bytes.constData() + at + 4, 4);
        const QByteArrayView data(bytes.constData() + at + 8, length);
        const auto crc = quint32(
            crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(type.data()), 4 + length));
        if (crc != qFromBigEndian<quint32>(bytes.constData() + at + 8 + length))
            return false;
        if (type == "IHDR" && length >= 8)
            facts.size =
                QSize(qFromBigEndian<qint32>(data.data()), qFromBigEndian<qint32>(data.data() + 4));
        else if (type == "tEXt" || type == "zTXt" || type == "iTXt")
            readText(type, data, facts);
        else if (type == "IEND")
            return true;
        at += 12 + qsizetype(length);
    }
    return false;
}

std::string pathBytes(const QFileInfo& file) {
    return QFile::encodeName(file.absoluteFilePath()).toStdString();
}

QByteArray uriOf(const QFileInfo& file) {
    return QByteArray::fromStdString(thumbnails::uriOf(pathBytes(file)));
}

QByteArray mtimeOf(const QFileInfo& file) {
    return QByteArray::number(file.lastModified().toSecsSinceEpoch());
}

// Width and height in the same proportion as the picture's, give or take a pixel's rounding.
bool proportional(QSize thumbnail, QSize natural) {
    const qint64 cross =
        qint64(thumbnail.width()) * natural.height() - qint64(thumbnail.height()) * natural.width();
    return std::abs(cross) <= qint64(natural.width()) + natural.height();
}

// A thumbnail that stands for `file` as it is now and is at least `width` wide: its bytes and the
// size its header gives, found from its chunks alone, without decoding its pixels.
std::optional<std::pair<QByteArray, QSize>> current(const QString& path, const QFileInfo& file,
                                                    QSize natural, int width) {
    QFile thumbnail(path);
    if (!thumbnail.open(QIODevice::ReadOnly) || thumbnail.size() > largestFile)
        return {};
    QByteArray bytes = thumbnail.readAll();
    PngFacts facts;
    if (!readPng(bytes, facts) || facts.size.isEmpty() || facts.size.width() < width ||
        facts.size.width() > 1024 || facts.size.height() > 1024 ||
        !proportional(facts.size, natural))
        return {};
    const auto text = [&facts](const char* key) { return facts.texts.value(key); };
    if (text("Thumb::URI") != uriOf(file) || text("Thumb::MTime") != mtimeOf(file))
        return {};
    if (facts.texts.contains("Thumb::Size") &&
        text("Thumb::Size") != QByteArray::number(file.size()))
        return {};
    return std::pair{std::move(bytes), facts.size};
}

QImage valid(const QString& path, const QFileInfo& file, QSize natural, int width) {
    const auto found = current(path, file, natural, width);
    if (!found)
        return {};
    QImage image = QImage::fromData(found->first, "PNG");
    if (image.size() != found->second)
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray chunk(QByteArrayView type, QByteArrayView data) {
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    out += type;
    out += data;
    const auto crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(out.data() + 4),
                           uInt(4 + data.size()));
    QByteArray tail(4, '\0');
    qToBigEndian<quint32>(quint32(crc), tail.data());
    return out + tail;
}

// The PNG with the cache's keys in plain text chunks right after the header, where readers
// that stop at the image data still find them.
QByteArray encoded(const QImage& image, const QFileInfo& file) {
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "PNG");
        if (!writer.write(image))
            return {};
    }
    const qsizetype afterHeader = signature.size() + 12 + 13;
    if (png.size() < afterHeader)
        return {};
    QByteArray texts;
    const auto text = [&texts](QByteArrayView key, QByteArrayView value) {
        texts += chunk("tEXt", key.toByteArray() + '\0' + value.toByteArray());
    };
    text("Thumb::URI", uriOf(file));
    text("Thumb::MTime", mtimeOf(file));
    text("Thumb::Size", QByteArray::number(file.size()));
    text("Software", "Bitvik");
    return png.insert(afterHeader, texts);
}

// Every folder of the cache the thumbnail lies in is the user's alone.
bool privateFolder(const QString& path) {
    if (!QDir().mkpath(path))
        return false;
    const QFileInfo folder(path);
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    return QFile::setPermissions(path, ownerOnly) &&
           QFile::setPermissions(folder.path(), ownerOnly);
}

void write(const QString& path, const QByteArray& png) {
    const QString folder = QFileInfo(path).path();
    if (!privateFolder(folder))
        return;
    // Written under a temporary name (made 0600) and renamed, so that a reader never meets
    // half a file.
    QTemporaryFile temporary(folder + QStringLiteral("/bitvik-XXXXXX.png"));
    if (!temporary.open() || temporary.write(png) != png.size() || !temporary.flush())
        return;
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(path).constData()) == 0)
        temporary.setAutoRemove(false);
}

} // namespace

QImage find(const QFileInfo& file, QSize natural, int width) {
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

void save(const QFileInfo& file, const QImage& upright, QSize natural) {
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
        const QString path = QString::fromStdString(pathOf(absolute, size));
        if (current(path, file, natural, 0))
            continue;
        const QImage scaled = upright.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QByteArray png = encoded(scaled.convertToFormat(QImage::Format_RGB32), file);
        if (!png.isEmpty())
            write(path, png);
    }
}

} // namespace tk::thumbnails
