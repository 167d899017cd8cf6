#pragma once

#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tk {

// The 8-bit code page of the settings file.
QString fromWindows1252(QByteArrayView bytes);
// The bytes of the text, or the first character the code page cannot carry.
struct Encoded {
    QByteArray bytes;
    std::optional<char32_t> unencodable;
};
Encoded toWindows1252(const QString& text);

} // namespace tk
