#include "thumbnailpng.h"

#include <QtEndian>
#include <zlib.h>

namespace tk::thumbnails {

namespace {

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

// A text chunk's key and value.
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

quint32 crcOf(const char* bytes, qsizetype count) {
    return quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes), uInt(count)));
}

} // namespace

bool readPng(const QByteArray& bytes, PngFacts& facts) {
    if (!bytes.startsWith(pngSignature))
        return false;
    qsizetype at = pngSignature.size();
    while (at + 12 <= bytes.size()) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        if (length > quint32(bytes.size() - at - 12))
            return false;
        const QByteArrayView type(bytes.constData() + at + 4, 4);
        const QByteArrayView data(bytes.constData() + at + 8, length);
        if (crcOf(type.data(), 4 + qsizetype(length)) !=
            qFromBigEndian<quint32>(bytes.constData() + at + 8 + length))
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

QByteArray pngChunk(QByteArrayView type, QByteArrayView data) {
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    out += type;
    out += data;
    QByteArray tail(4, '\0');
    qToBigEndian<quint32>(crcOf(out.constData() + 4, 4 + data.size()), tail.data());
    return out + tail;
}

} // namespace tk::thumbnails
