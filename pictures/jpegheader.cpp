#include "jpegheader.h"

#include <algorithm>
#include <array>

namespace tk::jpeg {

namespace {

constexpr int endOfData = -1;

// Bytes from memory, or from a file through a buffer of its own.
class Bytes {
public:
    Bytes(const unsigned char* bytes, std::size_t size) : at(bytes), end(bytes + size) {}
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
        if (!file)
            return false;
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
        at = buffer.data();
        end = at + got;
        return got > 0;
    }

    std::FILE* file = nullptr;
    std::array<unsigned char, 64 * 1024> buffer{};
    const unsigned char* at = nullptr;
    const unsigned char* end = nullptr;
};

constexpr int SOI = 0xD8, EOI = 0xD9, SOS = 0xDA, TEM = 0x01;

bool isRestart(int marker) {
    return marker >= 0xD0 && marker <= 0xD7;
}

// The frame markers; DHT (C4), JPG (C8) and DAC (CC) share their range.
bool isFrame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isProgressiveFrame(int marker) {
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

// The next marker code; bytes that are not one are passed over as the decoder does.
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

// Passes over a scan's entropy-coded data; gives the marker that ends it.
int afterScanData(Bytes& in) {
    for (;;) {
        const int marker = nextMarker(in);
        if (!isRestart(marker))
            return marker;
    }
}

bool readFrame(Bytes& in, int marker, int length, Header& header) {
    const int precision = in.next();
    header.height = in.word();
    header.width = in.word();
    const int count = in.next();
    if (precision < 0 || header.height < 0 || header.width < 0 || count < 0)
        return false;
    header.progressive = isProgressiveFrame(marker);
    header.precision = precision;
    header.lossless = (marker & 0x03) == 0x03;     // C3, C7, CB, CF
    header.hierarchical = (marker & 0x07) >= 0x05; // C5 to C7, CD to CF
    for (int i = 0; i < count; ++i) {
        in.next(); // identifier
        const int sampling = in.next();
        if (in.next() < 0 || sampling < 0)
            return false;
        header.components.push_back({std::max(1, sampling >> 4), std::max(1, sampling & 0x0F)});
    }
    const int used = 6 + 3 * count;
    return length >= used && in.skip(std::size_t(length - used));
}

std::optional<Header> walk(Bytes& in) {
    if (in.next() != 0xFF || in.next() != SOI)
        return std::nullopt;
    Header header;
    bool framed = false;
    int marker = nextMarker(in);
    while (marker != endOfData && marker != EOI) {
        if (marker == SOI || marker == TEM || isRestart(marker)) {
            marker = nextMarker(in);
            continue;
        }
        const int length = in.word();
        if (length < 2)
            break;
        if (isFrame(marker) && !framed) {
            framed = true;
            if (!readFrame(in, marker, length - 2, header))
                break;
        } else if (!in.skip(std::size_t(length - 2))) {
            break;
        }
        if (marker != SOS) {
            marker = nextMarker(in);
            continue;
        }
        if (++header.scans > maxScans)
            break;
        marker = afterScanData(in);
    }
    return header;
}

std::uint64_t divideUp(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

std::string number(std::uint64_t n) {
    return std::to_string(n);
}

} // namespace

std::uint64_t Header::coefficientBytes() const {
    if ((!progressive && scans <= 1) || components.empty())
        return 0;
    int hMax = 1;
    int vMax = 1;
    for (const Component& c : components) {
        hMax = std::max(hMax, c.horizontal);
        vMax = std::max(vMax, c.vertical);
    }
    constexpr std::uint64_t bytesPerBlock = 64 * 2;
    std::uint64_t total = 0;
    for (const Component& c : components) {
        // Blocks of the component, rounded up to whole units of its sampling, as libjpeg keeps.
        const std::uint64_t across =
            divideUp(divideUp(std::uint64_t(width) * c.horizontal, hMax), 8);
        const std::uint64_t down = divideUp(divideUp(std::uint64_t(height) * c.vertical, vMax), 8);
        total += divideUp(across, c.horizontal) * c.horizontal * divideUp(down, c.vertical) *
                 c.vertical * bytesPerBlock;
    }
    return total;
}

std::optional<Header> readHeader(std::FILE* file) {
    Bytes in(file);
    return walk(in);
}

std::optional<Header> readHeader(const unsigned char* bytes, std::size_t size) {
    Bytes in(bytes, size);
    return walk(in);
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
    const std::uint64_t bytes = header.coefficientBytes();
    constexpr std::uint64_t mebibyte = 1 << 20;
    if (bytes > maxCoefficientBytes)
        return "bilden (" + number(std::uint64_t(header.width)) + " × " +
               number(std::uint64_t(header.height)) + " bildpunkter, " +
               (header.progressive ? "progressiv" : "i flera avsnitt") + ") skulle kräva " +
               number(divideUp(bytes, mebibyte)) + " MB minne för att avkodas, mer än gränsen " +
               number(maxCoefficientBytes / mebibyte) + " MB";
    return {};
}

} // namespace tk::jpeg
