#include "jpegmarkers.h"

#include "jpegbounds.h"

#include <algorithm>
#include <array>

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

} // namespace

bool isFrame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// libjpeg counts the scans only as it decodes them, each over the whole picture; this walk over
// the markers counts them in the time it takes to read the file. Uncounted, the walk stops at the
// frame marker.
Walk walkMarkers(std::FILE* file, bool countScans) {
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
        if (!countScans && (walk.frame != 0 || marker == SOS))
            break;
        const int length = in.word();
        if (length < 2 || !in.skip(std::size_t(length - 2)))
            break;
        if (marker == SOS && ++walk.scans > maxScans)
            break;
    }
    return walk;
}

int frameMarker(std::FILE* file) {
    return walkMarkers(file, false).frame;
}

} // namespace tk::jpeg
