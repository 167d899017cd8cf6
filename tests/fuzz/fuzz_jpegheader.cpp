// Feeds arbitrary bytes to the JPEG marker walk, from memory and from a file through its own
// buffer: both must stay within the bytes and find the same header, and its refusal must be
// given without fault.

#include "jpegheader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool same(const tk::jpeg::Header& a, const tk::jpeg::Header& b) {
    return a.width == b.width && a.height == b.height && a.progressive == b.progressive &&
           a.scans == b.scans && a.precision == b.precision && a.lossless == b.lossless &&
           a.hierarchical == b.hierarchical && a.components.size() == b.components.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto fromMemory = tk::jpeg::readHeader(data, size);
    std::FILE* file = std::tmpfile();
    if (!file || std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::rewind(file);
    const auto fromFile = tk::jpeg::readHeader(file);
    std::fclose(file);
    if (fromMemory.has_value() != fromFile.has_value() ||
        (fromMemory && !same(*fromMemory, *fromFile)))
        std::abort();
    if (fromMemory)
        tk::jpeg::refusal(*fromMemory);
    return 0;
}
