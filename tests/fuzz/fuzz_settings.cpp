// Feeds arbitrary bytes to the settings reader. It must either read three values or fail with a
// run-time error; and three values it read must read back alike once written in the file's form.

#include "common/settingsfile.h"
#include "runtime/windows1252.h"
#include "support/settingsbytes.h"

#include <cstdint>
#include <cstdlib>
#include <QBuffer>

namespace {

struct Values {
    int cols;
    int rows;
    QString name;
};

Values readValues(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    common::SettingsReader reader(buffer, QStringLiteral("bitvik.ini"));
    Values v;
    v.cols = reader.readInteger(QStringLiteral("antal kolumner")).value();
    v.rows = reader.readInteger(QStringLiteral("antal rader")).value();
    v.name = reader.readString(QStringLiteral("bildfilens namn"));
    reader.close();
    return v;
}

bool writable(const QString& name) {
    return !name.contains(QLatin1Char('"')) && !name.contains(QLatin1Char('\r')) &&
           !name.contains(QLatin1Char('\n')) && !tk::toWindows1252(name).unencodable;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Values first;
    try {
        first = readValues(bytes);
    } catch (const tk::RuntimeError&) {
        return 0;
    }
    if (!writable(first.name))
        return 0;
    const Values again = readValues(
        testsupport::settingsBytes(first.cols, first.rows, tk::toWindows1252(first.name).bytes));
    if (again.cols != first.cols || again.rows != first.rows || again.name != first.name)
        std::abort();
    return 0;
}
