#include "pictures/jpegdecoder.h"

#include "runtime/regularfile.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <new>

namespace tk::jpeg {

namespace {

// libjpeg reports errors through a callback that must not return: it jumps back to the decode,
// which then owns no object with a destructor between the jump and its target.
struct Session {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf failed;
    const std::atomic<bool>* cancelled = nullptr;
    bool wasCancelled = false;
};

void jumpBack(j_common_ptr common) {
    std::longjmp(reinterpret_cast<Session*>(common->client_data)->failed, 1);
}

void silent(j_common_ptr) {}

void checkCancelled(j_common_ptr common) {
    auto* session = reinterpret_cast<Session*>(common->client_data);
    if (session->cancelled && session->cancelled->load(std::memory_order_relaxed)) {
        session->wasCancelled = true;
        std::longjmp(session->failed, 1);
    }
}

// The part of a decode that may jump: plain data only, so that the jump skips no destructor.
Outcome run(Session& s, std::FILE* file, int eighths, Pixels& out) {
    s.info.err = jpeg_std_error(&s.errors);
    s.errors.error_exit = jumpBack;
    s.errors.output_message = silent;
    s.info.client_data = &s;
    if (setjmp(s.failed)) {
        jpeg_destroy_decompress(&s.info);
        return s.wasCancelled ? Outcome::Cancelled : Outcome::Failed;
    }
    jpeg_create_decompress(&s.info);
    s.progress.progress_monitor = checkCancelled;
    s.info.progress = &s.progress;
    jpeg_stdio_src(&s.info, file);
    jpeg_read_header(&s.info, TRUE);
    if (s.info.jpeg_color_space != JCS_YCbCr && s.info.jpeg_color_space != JCS_GRAYSCALE &&
        s.info.jpeg_color_space != JCS_RGB) {
        jpeg_destroy_decompress(&s.info);
        return Outcome::Unsupported;
    }
    s.info.out_color_space = JCS_EXT_BGRX; // the byte order of 0xffRRGGBB on this machine
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
        auto* row = reinterpret_cast<JSAMPROW>(
            out.rgb.data() + std::size_t(s.info.output_scanline) * std::size_t(out.width));
        jpeg_read_scanlines(&s.info, &row, 1);
    }
    jpeg_finish_decompress(&s.info);
    jpeg_destroy_decompress(&s.info);
    return Outcome::Decoded;
}

} // namespace

Outcome decode(const std::string& path, int eighths, const std::atomic<bool>& cancelled,
               Pixels& out) {
    std::FILE* file = RegularFile(path).releaseStream();
    if (!file)
        return Outcome::Failed;
    Session session;
    session.cancelled = &cancelled;
    const Outcome outcome = run(session, file, eighths, out);
    std::fclose(file);
    if (outcome != Outcome::Decoded)
        out = {};
    return outcome;
}

} // namespace tk::jpeg
