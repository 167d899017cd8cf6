#pragma once

// The bounds within which a JPEG file is decoded, and the shape of a file as libjpeg reads it from
// its header (with the kind of frame and the scans from the walk over its markers), so that a
// file that would stall or exhaust the decoder is refused, in Swedish, before any pixel is
// decoded. Standard C++ only, so that code outside Qt (a decoding thread) can use it too.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

struct jpeg_decompress_struct;

namespace tk::jpeg {

// Every scan makes the decoder walk the whole picture's coefficients again, so the decoding time
// grows with scans x picture size, whatever the file's size. libjpeg's standard progression
// writes 10 scans and optimising encoders a few dozen; a file of more than a few hundred is made
// to stall the decoder.
inline constexpr int maxScans = 300;

// A file of more than one scan (every progressive file) is decoded into a coefficient buffer of
// the whole picture, whatever the scale drawn: 2 bytes a coefficient, 64 to a block of 8 x 8.
// 640 MiB holds a 100 megapixel photo even with full-resolution colour (4:4:4, 600 MB) and
// refuses the lying headers that claim 20000 x 20000 pixels and more (1.2 GB at 4:2:0).
inline constexpr std::uint64_t maxCoefficientBytes = std::uint64_t(640) << 20;

struct Header {
    int width = 0;
    int height = 0;
    bool progressive = false;
    // Bits a sample; 0 until a frame is read. The decoder here takes 8 only.
    int precision = 0;
    // Lossless and hierarchical files, which the decoder here does not take; judged from the frame
    // marker, since libjpeg-turbo 3 reads lossless files that 2.1 refuses.
    bool lossless = false;
    bool hierarchical = false;
    // Start-of-scan markers, counted up to one past maxScans; 0 when not counted.
    int scans = 0;
    // The coefficient buffer of the whole picture that decoding needs, counted from the frame's
    // size and sampling as libjpeg allocates it; 0 for a single scan, which is decoded row by row.
    std::uint64_t coefficientBytes = 0;
};

// The decoder itself counts the scans as it decodes them; counting them beforehand, by a walk
// over the markers, lets a file be refused before a decode that runs on another thread.
enum class Scans { Counted, LeftToTheDecoder };

// The header of the file read from its start by libjpeg, and the kind of its frame by a walk
// over its markers; empty when it does not begin as a JPEG file. A file whose header breaks off
// gives what was read up to there.
std::optional<Header> readHeader(std::FILE* file, Scans scans);

// What libjpeg has read of a header: the coefficient buffer too once jpeg_read_header is done.
Header headerOf(const jpeg_decompress_struct& info, bool complete);

// Notes in the header a precision that libjpeg refused with this error; false for another error.
bool noteRefusedKind(int errorCode, int parameter, Header& header);

// Notes in the header the kind of frame a frame marker names (see jpegmarkers.h).
void noteFrameKind(int marker, Header& header);

// Why a file of this header must not be decoded, in Swedish (UTF-8); empty when it may be.
std::string refusal(const Header& header);

} // namespace tk::jpeg
