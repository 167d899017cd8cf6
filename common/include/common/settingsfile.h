#pragma once

#include "common/checkedint.h"
#include "common/replacedfile.h"

#include <memory>
#include <QBuffer>
#include <QString>

namespace common {

// The file that ties the two programs together, in the current directory.
inline constexpr char settingsFileName[] = "bitvik.ini";

// Reads the settings file's delimited items in turn: spaces before a field are skipped; a field
// ends at a comma or a line end; a field that begins with a double quote runs to the next one.
// Nothing after the last item asked for is read.
class SettingsReader {
public:
    // Opens the file for input; reports name it and the folder it was looked for in.
    explicit SettingsReader(const QString& fileName);
    // Reads from a device already open; `name` stands for it in error reports.
    SettingsReader(QIODevice& device, const QString& name);

    Int16 readInteger(const QString& what);
    QString readString(const QString& what);
    void close();

private:
    QByteArray readField(const QString& what);
    int peek();
    int take();
    [[noreturn]] void fail(const QString& what, const QString& reason) const;

    QString name;
    std::unique_ptr<QBuffer> file; // the file's bytes, read when it was opened
    QIODevice* device;
    int itemNumber = 0;
    bool afterQuotedField = false;
};

// Writes the settings file: an integer as its decimal digits, a string between double quotes,
// each item followed by CR LF, in Windows-1252. close() puts the bytes in place of the old file
// in one step (see ReplacedFile): a failure on the way leaves the old file as it was.
class SettingsWriter {
public:
    explicit SettingsWriter(const QString& fileName);

    void writeInteger(Int16 value);
    // Refuses a text that the file cannot carry back: a double quote, a line break, or a
    // character outside Windows-1252.
    void writeString(const QString& text);
    void close();

private:
    void write(const QByteArray& bytes);
    [[noreturn]] void fail(const QString& reason) const;

    QString name;
    ReplacedFile file;
    QByteArray contents;
};

} // namespace common
