// Feeds arbitrary bytes to the JPEG header read (libjpeg's, then the walk that counts the scans):
// both must stay within the bytes, the count within its bound, and the refusal must be given
// without fault.

#include "jpegbounds.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The loader refuses an empty file before it reads any header; fmemopen takes no empty buffer.
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> bytes(data, data + size);
    std::FILE* file = ::fmemopen(bytes.data(), size, "rb");
    if (!file)
        std::abort();
    const auto header = tk::jpeg::readHeader(file, tk::jpeg::Scans::Counted);
    std::fclose(file);
    if (header) {
        if (header->scans < 0 || header->scans > tk::jpeg::maxScans + 1)
            std::abort();
        tk::jpeg::refusal(*header);
    }
    return 0;
}
