#include "runtime/windows1252.h"

#include <algorithm>
#include <array>
#include <QList>

namespace tk {

namespace {

// 0x80 to 0x9F; the rest of the code page is Latin-1. Zero marks the five unassigned bytes.
constexpr std::array<char16_t, 32> high = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString fromWindows1252(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        // An unassigned byte reads as the control character of the same number.
        if (b >= 0x80 && b <= 0x9F && high[b - 0x80] != 0)
            text.append(QChar(high[b - 0x80]));
        else
            text.append(QChar(b));
    }
    return text;
}

Encoded toWindows1252(const QString& text) {
    Encoded result;
    result.bytes.reserve(text.size());
    for (const char32_t u : text.toUcs4()) {
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            result.bytes.append(char(u));
            continue;
        }
        const auto* found = std::find(high.begin(), high.end(), char16_t(u));
        if (u > 0xFFFF || u < 0xA0 || found == high.end()) {
            result.unencodable = u;
            return result;
        }
        result.bytes.append(char(0x80 + (found - high.begin())));
    }
    return result;
}

} // namespace tk
