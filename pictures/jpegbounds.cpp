#include "jpegbounds.h"

#include "jpegerrors.h"
#include "jpegmarkers.h"

#include <csetjmp>
// jpeglib.h needs the declarations of <cstdio> before it.
#include <jerror.h>
#include <jpeglib.h>

namespace tk::jpeg {

namespace {

// The reading owns no object with a destructor between libjpeg's jump and its target.
struct Reading {
    jpeg_decompress_struct info;
    Errors errors;
};

// False when the file does not begin as a JPEG file.
bool readByLibjpeg(Reading& r, std::FILE* file, Header& header) {
    reportErrorsTo(r.info, r.errors);
    if (setjmp(r.errors.failed)) {
        const int code = r.errors.manager.msg_code;
        const bool isJpeg = code != JERR_NO_SOI && code != JERR_INPUT_EMPTY;
        header = headerOf(r.info, false);
        noteRefusedKind(code, r.errors.manager.msg_parm.i[0], header);
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

std::optional<Header> readHeader(std::FILE* file, Scans scans) {
    Reading reading{};
    Header header;
    if (!readByLibjpeg(reading, file, header))
        return std::nullopt;
    std::rewind(file);
    const Walk walk = walkMarkers(file, scans == Scans::Counted);
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
