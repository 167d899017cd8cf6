#include "common/settingsfile.h"

#include "runtime/regularfile.h"
#include "runtime/systemerror.h"
#include "runtime/windows1252.h"

#include <cerrno>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace common {

namespace {

// No value of the file comes near this; a longer field means the file is not ours.
constexpr qsizetype maxFieldLength = 4096;
constexpr int endOfFile = -1;
// Three fields of at most maxFieldLength and what may stand between them take far less; the
// rest of a larger file is never looked at.
constexpr std::size_t largestRead = 1024 * 1024;

// The current folder by name even when it has been removed, as Linux still knows it.
QString currentFolder() {
    QString path = QDir::currentPath();
    if (!path.isEmpty() && path != QStringLiteral("."))
        return path;
    path = QFileInfo(QStringLiteral("/proc/self/cwd")).symLinkTarget();
    const QString removed = QStringLiteral(" (deleted)");
    if (path.endsWith(removed))
        path.chop(removed.size());
    return path;
}

QString folderOf(const QString& fileName) {
    const QFileInfo info(fileName);
    const QString folder =
        info.isAbsolute() ? info.absolutePath() : QDir(currentFolder()).filePath(info.path());
    return QDir::toNativeSeparators(QDir::cleanPath(folder));
}

QString shown(const QByteArray& field) {
    constexpr qsizetype shownLength = 40;
    QString text = tk::fromWindows1252(field.left(shownLength));
    for (QChar& ch : text) {
        if (!ch.isPrint())
            ch = QLatin1Char('?');
    }
    if (field.size() > shownLength)
        text += QStringLiteral("…");
    return text;
}

QString readFailure(const tk::RegularFile& file) {
    const int code = file.error();
    return code == EACCES || code == EPERM ? tk::systemErrorText(EACCES)
           : file.isOpen()                 ? tk::systemErrorText(code)
                                           : QStringLiteral("den kan inte öppnas");
}

} // namespace

SettingsReader::SettingsReader(QIODevice& source, const QString& sourceName)
    : name(sourceName), device(&source) {}

SettingsReader::SettingsReader(const QString& fileName)
    : name(fileName), file(std::make_unique<QBuffer>()), device(file.get()) {
    const QFileInfo info(fileName);
    if (!info.exists())
        throw tk::RuntimeError(
            QStringLiteral("Inställningsfilen \"%1\" finns inte i mappen %2. Den skrivs av "
                           "Tralloma: starta Tralloma i samma mapp, välj en bild och tryck OK.")
                .arg(fileName, folderOf(fileName)));
    if (info.isDir())
        throw tk::RuntimeError(
            QStringLiteral("Inställningsfilen \"%1\" i mappen %2 är en mapp, inte en fil.")
                .arg(fileName, folderOf(fileName)));
    if (!info.isFile())
        throw tk::RuntimeError(
            QStringLiteral("Inställningsfilen \"%1\" i mappen %2 är ingen vanlig fil.")
                .arg(fileName, folderOf(fileName)));
    tk::RegularFile opened(QFile::encodeName(fileName).toStdString());
    if (opened.failure() == tk::RegularFile::Failure::NotRegular)
        throw tk::RuntimeError(
            QStringLiteral("Inställningsfilen \"%1\" i mappen %2 är ingen vanlig fil.")
                .arg(fileName, folderOf(fileName)));
    const std::optional<std::string> bytes = opened.read(largestRead);
    if (!bytes)
        throw tk::RuntimeError(QStringLiteral("Inställningsfilen \"%1\" i mappen %2 kan inte "
                                              "läsas: %3.")
                                   .arg(fileName, folderOf(fileName), readFailure(opened)));
    file->setData(QByteArray::fromStdString(*bytes));
    file->open(QIODevice::ReadOnly);
}

void SettingsReader::close() {
    device->close();
}

int SettingsReader::peek() {
    char c = 0;
    return device->peek(&c, 1) == 1 ? static_cast<unsigned char>(c) : endOfFile;
}

int SettingsReader::take() {
    char c = 0;
    return device->getChar(&c) ? static_cast<unsigned char>(c) : endOfFile;
}

void SettingsReader::fail(const QString& what, const QString& reason) const {
    throw tk::RuntimeError(QStringLiteral("Inställningsfilen \"%1\": värde %2 (%3) %4.")
                               .arg(name)
                               .arg(itemNumber)
                               .arg(what, reason));
}

QByteArray SettingsReader::readField(const QString& what) {
    ++itemNumber;
    const auto isSpace = [](int c) { return c == ' ' || c == '\t'; };
    const auto takeLineEnd = [this](int c) {
        if (c == '\r' && peek() == '\n')
            take();
    };

    // The delimiter after a quoted field is only consumed when another field is read.
    if (afterQuotedField) {
        afterQuotedField = false;
        while (isSpace(peek()))
            take();
        const int next = peek();
        if (next == ',' || next == '\r' || next == '\n')
            takeLineEnd(take());
        else if (next != endOfFile)
            fail(what, QStringLiteral("föregås av oväntade tecken efter ett citattecken"));
    }
    while (isSpace(peek()))
        take();
    if (peek() == endOfFile)
        fail(what, QStringLiteral("saknas: filen tar slut innan dess"));

    QByteArray field;
    if (peek() == '"') {
        take();
        for (int c = take(); c != '"'; c = take()) {
            if (c == endOfFile)
                fail(what, QStringLiteral("saknar sitt avslutande citattecken"));
            if (field.size() == maxFieldLength)
                fail(what, QStringLiteral("är längre än %1 tecken").arg(maxFieldLength));
            field.append(char(c));
        }
        afterQuotedField = true;
        return field;
    }
    int c = take();
    for (; c != ',' && c != '\r' && c != '\n' && c != endOfFile; c = take()) {
        if (field.size() == maxFieldLength)
            fail(what, QStringLiteral("är längre än %1 tecken").arg(maxFieldLength));
        field.append(char(c));
    }
    takeLineEnd(c);
    while (!field.isEmpty() && isSpace(field.back()))
        field.chop(1);
    return field;
}

Int16 SettingsReader::readInteger(const QString& what) {
    const QByteArray field = readField(what);
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    const QString text = tk::fromWindows1252(field);
    if (!integer.match(text).hasMatch())
        fail(what, QStringLiteral("är \"%1\", som inte är ett heltal").arg(shown(field)));
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < Int16::lowest || value > Int16::highest)
        fail(what, QStringLiteral("är %1, som inte ryms i ett 16-bitars heltal (%2 till %3)")
                       .arg(shown(field))
                       .arg(Int16::lowest)
                       .arg(Int16::highest));
    return Int16(value);
}

QString SettingsReader::readString(const QString& what) {
    return tk::fromWindows1252(readField(what));
}

SettingsWriter::SettingsWriter(const QString& fileName) : name(fileName), file(fileName) {
    if (!file.failure().isEmpty())
        fail(file.failure());
}

void SettingsWriter::fail(const QString& reason) const {
    throw tk::RuntimeError(
        QStringLiteral("Inställningsfilen \"%1\" i mappen %2 kan inte sparas: %3. Den fil som "
                       "fanns är orörd.")
            .arg(name, folderOf(name), reason));
}

void SettingsWriter::write(const QByteArray& bytes) {
    contents += bytes + "\r\n";
}

void SettingsWriter::writeInteger(Int16 value) {
    write(QByteArray::number(value.value()));
}

void SettingsWriter::writeString(const QString& text) {
    const auto refuse = [&](const QString& why) {
        throw tk::RuntimeError(QStringLiteral("Namnet \"%1\" kan inte sparas i \"%2\": %3. Den "
                                              "fil som fanns är orörd.")
                                   .arg(text, name, why));
    };
    if (text.contains(QLatin1Char('"')))
        refuse(QStringLiteral("det innehåller ett citattecken (\")"));
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        refuse(QStringLiteral("det innehåller en radbrytning"));
    const tk::Encoded encoded = tk::toWindows1252(text);
    if (encoded.unencodable)
        refuse(QStringLiteral("tecknet %1 (U+%2) finns inte i teckenuppsättningen Windows-1252")
                   .arg(QString::fromUcs4(&*encoded.unencodable, 1),
                        QString::number(uint(*encoded.unencodable), 16)
                            .rightJustified(4, QLatin1Char('0'))
                            .toUpper()));
    write('"' + encoded.bytes + '"');
}

void SettingsWriter::close() {
    if (const QString why = file.commit(contents); !why.isEmpty())
        fail(why);
}

} // namespace common
