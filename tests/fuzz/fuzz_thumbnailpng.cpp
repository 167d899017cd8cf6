// Feeds arbitrary bytes to the thumbnail's PNG chunk reader, which must stay within them; and a
// PNG written chunk by chunk with the bytes as a text must read back as written.

#include "thumbnailpng.h"

#include <cstdint>
#include <cstdlib>
#include <QtEndian>

using namespace tk::thumbnails;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    PngFacts facts;
    readPng(bytes, facts);

    const qsizetype zero = bytes.indexOf('\0');
    const QByteArray key = zero > 0 ? bytes.left(zero) : QByteArray("Thumb::URI");
    const QByteArray value = zero > 0 ? bytes.mid(zero + 1) : bytes;
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(512, header.data());
    qToBigEndian<quint32>(384, header.data() + 4);
    const QByteArray png = pngSignature.toByteArray() + pngChunk("IHDR", header) +
                           pngChunk("tEXt", key + '\0' + value) + pngChunk("IEND", {});
    PngFacts back;
    if (!readPng(png, back) || back.size != QSize(512, 384) || back.texts.value(key) != value)
        std::abort();
    return 0;
}
