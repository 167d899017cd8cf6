#pragma once

// The PNG chunks a thumbnail is judged by, read and written without decoding its pixels.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QSize>

namespace tk::thumbnails {

inline constexpr QByteArrayView pngSignature("\x89PNG\r\n\x1a\n", 8);

struct PngFacts {
    QSize size; // as the header gives it, which may be anything
    QHash<QByteArray, QByteArray> texts;
};

// Walks the chunks to IEND, checking each one's CRC, so that a truncated or damaged file is
// refused before it is decoded; collects the header's size and the text chunks (tEXt, zTXt,
// and iTXt when not compressed; an inflated text is cut at 64 KiB).
bool readPng(const QByteArray& bytes, PngFacts& facts);

// One chunk: its length, type, data and CRC.
QByteArray pngChunk(QByteArrayView type, QByteArrayView data);

} // namespace tk::thumbnails
