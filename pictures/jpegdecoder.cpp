#include "pictures/jpegdecoder.h"

#include "jpegbounds.h"
#include "jpegerrors.h"
#include "jpegmarkers.h"
#include "runtime/regularfile.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs the declarations of <cstdio> before it.
#include <jerror.h>
#include <jpeglib.h>
#include <new>

namespace tk::jpeg {

namespace {

// The decode's state as plain data, so that libjpeg's jump back skips no destructor; what went
// wrong is worded after the jump.
struct Session {
    jpeg_decompress_struct info;
    Errors errors;
    jpeg_progress_mgr progress;
    const std::atomic<bool>* cancelled = nullptr;
    bool wasCancelled = false;
    int frame = 0; // the frame marker, read beforehand
    Header header;
};

// Looked at once a row of blocks as libjpeg reads the file: a newer request stops the decode, and
// a file of more scans than any encoder writes is refused as the scan past the limit begins.
void watch(j_common_ptr common) {
    auto* session = static_cast<Session*>(common->client_data);
    if (session->cancelled->load(std::memory_order_relaxed)) {
        session->wasCancelled = true;
        std::longjmp(session->errors.failed, 1);
    }
    if (session->info.input_scan_number > maxScans) {
        session->header.scans = session->info.input_scan_number;
        std::longjmp(session->errors.failed, 1);
    }
}

// Adobe's CMYK, stored inverted as Photoshop writes it (and as Qt's reader takes every CMYK
// file), turned into 0xffRRGGBB in place.
void cmykToRgb(std::uint32_t* row, int width) {
    auto* bytes = reinterpret_cast<const unsigned char*>(row);
    for (int x = 0; x < width; ++x, bytes += 4) {
        const unsigned k = bytes[3];
        row[x] = 0xff000000u | (bytes[0] * k / 255) << 16 | (bytes[1] * k / 255) << 8 |
                 bytes[2] * k / 255;
    }
}

// The part of a decode that may jump: plain data only, so that the jump skips no destructor.
Outcome run(Session& s, std::FILE* file, int eighths, Pixels& out) {
    reportErrorsTo(s.info, s.errors);
    s.info.client_data = &s;
    if (setjmp(s.errors.failed)) {
        noteRefusedKind(s.errors.manager.msg_code, s.errors.manager.msg_parm.i[0], s.header);
        noteFrameKind(s.frame, s.header);
        jpeg_destroy_decompress(&s.info);
        return s.wasCancelled ? Outcome::Cancelled : Outcome::Failed;
    }
    jpeg_create_decompress(&s.info);
    s.progress.progress_monitor = watch;
    s.info.progress = &s.progress;
    jpeg_stdio_src(&s.info, file);
    jpeg_read_header(&s.info, TRUE);
    s.header = headerOf(s.info, true);
    noteFrameKind(s.frame, s.header);
    if (!refusal(s.header).empty()) {
        jpeg_destroy_decompress(&s.info);
        return Outcome::Failed;
    }
    const bool cmyk = s.info.jpeg_color_space == JCS_CMYK || s.info.jpeg_color_space == JCS_YCCK;
    // JCS_EXT_BGRX: the byte order of 0xffRRGGBB on this machine.
    s.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    s.info.scale_num = unsigned(eighths);
    s.info.scale_denom = 8;
    jpeg_start_decompress(&s.info);
    out.width = int(s.info.output_width);
    out.height = int(s.info.output_height);
    try {
        out.rgb.resize(std::size_t(out.width) * std::size_t(out.height));
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&s.info);
        return Outcome::Failed;
    }
    while (s.info.output_scanline < s.info.output_height) {
        std::uint32_t* pixels =
            out.rgb.data() + std::size_t(s.info.output_scanline) * std::size_t(out.width);
        auto* row = reinterpret_cast<JSAMPROW>(pixels);
        jpeg_read_scanlines(&s.info, &row, 1);
        if (cmyk)
            cmykToRgb(pixels, out.width);
    }
    jpeg_finish_decompress(&s.info);
    jpeg_destroy_decompress(&s.info);
    return Outcome::Decoded;
}

} // namespace

Outcome decode(const std::string& path, int eighths, const std::atomic<bool>& cancelled,
               Pixels& out, std::string* refused) {
    std::FILE* file = RegularFile(path).releaseStream();
    if (!file)
        return Outcome::Failed;
    Session session{};
    session.cancelled = &cancelled;
    // The kind of frame from the programs' own reading of the markers, before libjpeg's.
    session.frame = frameMarker(file);
    std::rewind(file);
    const Outcome outcome = run(session, file, eighths, out);
    std::fclose(file);
    if (outcome != Outcome::Decoded)
        out = {};
    if (outcome == Outcome::Failed && refused)
        *refused = refusal(session.header);
    return outcome;
}

} // namespace tk::jpeg
