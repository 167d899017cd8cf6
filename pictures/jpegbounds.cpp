#include "jpegheader.h"

#include <algorithm>
#include <array>
#include <csetjmp>
// jpeglib.h needs the declarations of <cstdio> before it.
#include <jerror.h>
#include <jpeglib.h>

namespace tk::jpeg {

namespace {

constexpr int endOfData = -1;

// A file's bytes through a buffer of its own.
class Bytes {
public:
    explicit Bytes(std::FILE* file) : file(file) {}

    int next() {
        if (at == end && !refill())
            return endOfData;
        return *at++;
    }
    bool skip(std::size_t count) {
        while (count > 0) {
            if (at == end && !refill())
                return false;
            const std::size_t step = std::min(count, std::size_t(end - at));
            at += step;
            count -= step;
        }
        return true;
    }
    int word() {
        const int high = next();
        const int low = next();
        return high < 0 || low < 0 ? endOfData : high << 8 | low;
    }

private:
    bool refill() {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
        at = buffer.data();
        end = at + got;
        return got > 0;
    }

    std::FILE* file;
    std::array<unsigned char, 64 * 1024> buffer{};
    const unsigned char* at = nullptr;
    const unsigned char* end = nullptr;
};

constexpr int SOI = 0xD8, EOI = 0xD9, SOS = 0xDA, TEM = 0x01;

bool isRestart(int marker) {
    return marker >= 0xD0 && marker <= 0xD7;
}

// The next marker code; bytes that are not one (entropy-coded data) are passed over as the
// decoder does.
int nextMarker(Bytes& in) {
    for (;;) {
        int c = in.next();
        if (c == endOfData)
            return endOfData;
        if (c != 0xFF)
            continue;
        do
            c = in.next();
        while (c == 0xFF);
        if (c != 0x00)
            return c;
    }
}

// A frame marker, SOF0 to SOF15: C4, C8 and CC, between them, are other markers.
bool isFrame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

struct Walk {
    int frame = 0;
    int scans = 0;
};

// libjpeg counts the scans only as it decodes them, each over the whole picture; this walk over
// the markers counts them in the time it takes to read the file. Uncounted, the walk stops at the
// frame marker.
Walk walkMarkers(std::FILE* file, Scans scans) {
    Bytes in(file);
    Walk walk;
    if (in.next() != 0xFF || in.next() != SOI)
        return walk;
    for (int marker = nextMarker(in); marker != endOfData && marker != EOI;
         marker = nextMarker(in)) {
        if (marker == SOI || marker == TEM || isRestart(marker))
            continue;
        if (walk.frame == 0 && isFrame(marker))
            walk.frame = marker;
        if (scans == Scans::LeftToTheDecoder && (walk.frame != 0 || marker == SOS))
            break;
        const int length = in.word();
        if (length < 2 || !in.skip(std::size_t(length - 2)))
            break;
        if (marker == SOS && ++walk.scans > maxScans)
            break;
    }
    return walk;
}

// libjpeg reports errors through a callback that must not return: it jumps back to the read,
// which owns no object with a destructor between the jump and its target.
struct Reading {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf failed;
};

void jumpBack(j_common_ptr common) {
    std::longjmp(static_cast<Reading*>(common->client_data)->failed, 1);
}

void silent(j_common_ptr) {}

// False when the file does not begin as a JPEG file.
bool readByLibjpeg(Reading& r, std::FILE* file, Header& header) {
    r.info.err = jpeg_std_error(&r.errors);
    r.errors.error_exit = jumpBack;
    r.errors.output_message = silent;
    r.info.client_data = &r;
    if (setjmp(r.failed)) {
        const int code = r.errors.msg_code;
        const bool isJpeg = code != JERR_NO_SOI && code != JERR_INPUT_EMPTY;
        header = headerOf(r.info, false);
        noteRefusedKind(code, r.errors.msg_parm.i[0], header);
        jpeg_destroy_decompress(&r.info);
        return isJpeg;
    }
    jpeg_create_decompress(&r.info);
    jpeg_stdio_src(&r.info, file);
    jpeg_read_header(&r.info, TRUE);
    header = headerOf(r.info, true);
    jpeg_destroy_decompress(&r.info);
    return true;
}

std::uint64_t divideUp(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

std::string number(std::uint64_t n) {
    return std::to_string(n);
}

} // namespace

Header headerOf(const jpeg_decompress_struct& info, bool complete) {
    Header header;
    header.width = int(info.image_width);
    header.height = int(info.image_height);
    header.progressive = info.progressive_mode;
    header.precision = info.data_precision;
    // libjpeg keeps the whole picture's coefficients when the file has more than one scan: when
    // it is progressive or its first scan leaves components out.
    if (!complete || !(info.progressive_mode || info.comps_in_scan < info.num_components))
        return header;
    // Counted from the frame's own values, not from libjpeg's derived sizes (libjpeg-turbo 3
    // counts a lossless file's "blocks" in single samples): the picture in whole MCUs, each of
    // which holds h x v blocks of 8 x 8 of every component of sampling h x v, as libjpeg
    // allocates them.
    const std::uint64_t mcusAcross =
        divideUp(info.image_width, 8 * std::uint64_t(info.max_h_samp_factor));
    const std::uint64_t mcusDown =
        divideUp(info.image_height, 8 * std::uint64_t(info.max_v_samp_factor));
    std::uint64_t blocksPerMcu = 0;
    for (int i = 0; i < info.num_components; ++i)
        blocksPerMcu +=
            std::uint64_t(info.comp_info[i].h_samp_factor) * info.comp_info[i].v_samp_factor;
    header.coefficientBytes = mcusAcross * mcusDown * blocksPerMcu * sizeof(JBLOCK);
    return header;
}

bool noteRefusedKind(int errorCode, int parameter, Header& header) {
    if (errorCode != JERR_BAD_PRECISION)
        return false;
    header.precision = parameter;
    return true;
}

void noteFrameKind(int marker, Header& header) {
    // C3, C7, CB and CF are lossless, C5 to C7 and CD to CF hierarchical.
    header.lossless = isFrame(marker) && (marker & 0x03) == 0x03;
    header.hierarchical = isFrame(marker) && (marker & 0x07) >= 0x05;
}

int frameMarker(std::FILE* file) {
    return walkMarkers(file, Scans::LeftToTheDecoder).frame;
}

std::optional<Header> readHeader(std::FILE* file, Scans scans) {
    Reading reading{};
    Header header;
    if (!readByLibjpeg(reading, file, header))
        return std::nullopt;
    std::rewind(file);
    const Walk walk = walkMarkers(file, scans);
    noteFrameKind(walk.frame, header);
    header.scans = walk.scans;
    return header;
}

std::string refusal(const Header& header) {
    const auto unshowable = [](const std::string& kind) {
        return "den är en JPEG-fil av ett slag som programmen inte kan visa (" + kind + ")";
    };
    if (header.lossless)
        return unshowable("förlustfritt kodad");
    if (header.hierarchical)
        return unshowable("hierarkiskt kodad");
    if (header.precision != 0 && header.precision != 8)
        return unshowable(number(std::uint64_t(header.precision)) + " bitar per färgvärde");
    if (header.scans > maxScans)
        return "den består av fler än " + number(maxScans) +
               " avsnitt (scans), fler än någon kodare skriver, och skulle ta orimligt lång tid "
               "att avkoda";
    constexpr std::uint64_t mebibyte = 1 << 20;
    if (header.coefficientBytes > maxCoefficientBytes)
        return "bilden (" + number(std::uint64_t(header.width)) + " × " +
               number(std::uint64_t(header.height)) + " bildpunkter, " +
               (header.progressive ? "progressiv" : "i flera avsnitt") + ") skulle kräva " +
               number(divideUp(header.coefficientBytes, mebibyte)) +
               " MB minne för att avkodas, mer än gränsen " +
               number(maxCoefficientBytes / mebibyte) + " MB";
    return {};
}

} // namespace tk::jpeg
