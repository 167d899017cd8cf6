#include "common/settingsfile.h"
#include "common/settingspeek.h"
#include "support/fullfilesystem.h"
#include "support/settingsbytes.h"
#include "support/testsupport.h"
#include "support/unreadablesettings.h"

#include <cerrno>
#include <QDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using common::Int16;
using common::SettingsReader;
using common::SettingsWriter;
using testsupport::failureOf;
using testsupport::folderEntries;
using testsupport::readBytes;
using testsupport::ScratchFolder;
using testsupport::settingsBytes;
using testsupport::SmallFilesystem;
using testsupport::writeBytes;

// One step of the next save fails with the given code; the linker sends our code's calls here.
namespace fault {
enum class Step { none, write, sync, close, rename };
Step failing = Step::none;
int code = 0;

bool fires(Step step) {
    if (failing != step)
        return false;
    failing = Step::none;
    errno = code;
    return true;
}
} // namespace fault

extern "C" {
ssize_t __real_write(int, const void*, size_t);
int __real_fdatasync(int);
int __real_close(int);
int __real_rename(const char*, const char*);

ssize_t __wrap_write(int fd, const void* data, size_t size) {
    return fault::fires(fault::Step::write) ? -1 : __real_write(fd, data, size);
}
int __wrap_fdatasync(int fd) {
    return fault::fires(fault::Step::sync) ? -1 : __real_fdatasync(fd);
}
int __wrap_close(int fd) {
    const int closed = __real_close(fd);
    return fault::fires(fault::Step::close) ? -1 : closed;
}
int __wrap_rename(const char* from, const char* to) {
    return fault::fires(fault::Step::rename) ? -1 : __real_rename(from, to);
}
}

namespace {

struct Read {
    int cols = 0;
    int rows = 0;
    QString name;
};

Read readAll(const QString& fileName = QStringLiteral("bitvik.ini")) {
    SettingsReader reader(fileName);
    Read r;
    r.cols = reader.readInteger(QStringLiteral("antal kolumner")).value();
    r.rows = reader.readInteger(QStringLiteral("antal rader")).value();
    r.name = reader.readString(QStringLiteral("bildfilens namn"));
    reader.close();
    return r;
}

const QByteArray oldBytes = settingsBytes(3, 3, "old.bmp");

void save(int cols, int rows, const QString& name) {
    SettingsWriter writer(QStringLiteral("bitvik.ini"));
    writer.writeInteger(cols);
    writer.writeInteger(rows);
    writer.writeString(name);
    writer.close();
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void writtenBytes_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("4 x 3 sol.bmp, 17 bytes")
            << 4 << 3 << "sol.bmp" << QByteArray::fromHex("340D0A330D0A22736F6C2E626D70220D0A");
        QTest::newRow("7 x 1 empty name, 10 bytes")
            << 7 << 1 << "" << QByteArray::fromHex("370D0A310D0A22220D0A");
        QTest::newRow("Swedish name in Windows-1252")
            << 2 << 5 << QStringLiteral("fjäll ö å.jpg")
            << settingsBytes(2, 5, "fj\xE4ll \xF6 \xE5.jpg");
        QTest::newRow("comma and spaces inside the quotes")
            << 1 << 1 << " a, b .gif" << settingsBytes(1, 1, " a, b .gif");
    }
    void writtenBytes() {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        ScratchFolder folder;
        save(7, 7, QStringLiteral("a-much-longer-name.bmp")); // replaced, not written over
        save(cols, rows, name);
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), bytes);
        const Read back = readAll();
        QCOMPARE(back.cols, cols);
        QCOMPARE(back.rows, rows);
        QCOMPARE(back.name, name);
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{"bitvik.ini"});
    }

    void readingRules_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("name");
        QTest::newRow("one line with commas")
            << QByteArray::fromHex("342C332C22736F6C2E626D70220D0A") << 4 << 3 << "sol.bmp";
        QTest::newRow("spaces before fields")
            << QByteArray("  4\r\n\t 3 ,  \"x.gif\"\r\n") << 4 << 3 << "x.gif";
        QTest::newRow("no line end after the last value")
            << QByteArray("4\r\n3\r\n\"x.gif\"") << 4 << 3 << "x.gif";
        QTest::newRow("LF line ends") << QByteArray("5\n6\n\"x.gif\"\n") << 5 << 6 << "x.gif";
        QTest::newRow("bytes after the third value never read")
            << QByteArray("4\r\n3\r\n\"x.gif\"\r\n\xFF\x00garbage\"") << 4 << 3 << "x.gif";
        QTest::newRow("unquoted name")
            << QByteArray("4\r\n3\r\nsol.bmp  \r\n") << 4 << 3 << "sol.bmp";
        QTest::newRow("Windows-1252 name") << QByteArray("1\r\n1\r\n\"\xD6land \x80.jpg\"\r\n") << 1
                                           << 1 << QStringLiteral("Öland €.jpg");
        QTest::newRow("large counts read as written")
            << settingsBytes(9, 12, "x") << 9 << 12 << "x";
        QTest::newRow("quoted counts") << QByteArray("\"4\",\"3\",\"x.gif\"") << 4 << 3 << "x.gif";
        QTest::newRow("quotes inside an unquoted name")
            << QByteArray("4\r\n3\r\nmin \"b\xE4sta\" bild.jpg\r\n") << 4 << 3
            << QStringLiteral("min \"bästa\" bild.jpg");
    }
    void readingRules() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(QString, name);
        ScratchFolder folder;
        writeBytes(QStringLiteral("bitvik.ini"), bytes);
        const Read r = readAll();
        QCOMPARE(r.cols, cols);
        QCOMPARE(r.rows, rows);
        QCOMPARE(r.name, name);
        // The early decode starts on the name the game reads.
        QCOMPARE(QString::fromStdString(common::peekPictureName("bitvik.ini")), name);
    }

    void readingFailures_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("named");
        for (const testsupport::UnreadableSettings& s : testsupport::unreadableSettings())
            QTest::newRow(s.name) << s.bytes << QString::fromUtf8(s.why);
    }
    void readingFailures() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, named);
        ScratchFolder folder;
        writeBytes(QStringLiteral("bitvik.ini"), bytes);
        const QString message = failureOf([] { readAll(); });
        QVERIFY2(message.contains(named), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("bitvik.ini")), qPrintable(message));
        QCOMPARE(common::peekPictureName("bitvik.ini"), std::string());
    }

    void openingFailures() {
        ScratchFolder folder;
        QString message = failureOf([] { readAll(); });
        QVERIFY2(message.contains(QStringLiteral("finns inte")) && message.contains("Tralloma") &&
                     message.contains(folder.path()),
                 qPrintable(message));
        QCOMPARE(common::peekPictureName("bitvik.ini"), std::string());
        QVERIFY(QDir().mkdir(QStringLiteral("bitvik.ini")));
        message = failureOf([] { readAll(); });
        QVERIFY2(message.contains(QStringLiteral("är en mapp")), qPrintable(message));
        QCOMPARE(common::peekPictureName("bitvik.ini"), std::string());
    }

    // A name the file cannot hold is refused before anything is written; a failing step of the
    // save leaves the old file too.
    void failedSaveLeavesTheOldFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        const int none = int(fault::Step::none);
        QTest::newRow("double quote") << "a\"b.bmp" << none << 0 << "citattecken";
        QTest::newRow("line feed") << "a\nb.bmp" << none << 0 << "radbrytning";
        QTest::newRow("carriage return") << "a\rb.bmp" << none << 0 << "radbrytning";
        QTest::newRow("outside Windows-1252") << QStringLiteral("ā.bmp") << none << 0 << "U+0101";
        QTest::newRow("C1 control") << QStringLiteral("a\u0081.bmp") << none << 0 << "U+0081";
        QTest::newRow("emoji") << QStringLiteral("😀.bmp") << none << 0 << "U+1F600";
        const QString ny = QStringLiteral("ny.bmp");
        QTest::newRow("write: no space")
            << ny << int(fault::Step::write) << ENOSPC << "disken är full";
        QTest::newRow("write: quota") << ny << int(fault::Step::write) << EDQUOT << "diskkvot";
        QTest::newRow("sync: I/O error")
            << ny << int(fault::Step::sync) << EIO << "lästes eller skrevs";
        QTest::newRow("close: I/O error")
            << ny << int(fault::Step::close) << EIO << "lästes eller skrevs";
        QTest::newRow("rename: busy") << ny << int(fault::Step::rename) << EBUSY << "används";
    }
    void failedSaveLeavesTheOldFile() {
        QFETCH(QString, name);
        QFETCH(int, step);
        QFETCH(int, code);
        QFETCH(QString, reason);
        ScratchFolder folder;
        writeBytes(QStringLiteral("bitvik.ini"), oldBytes);
        fault::failing = fault::Step(step);
        fault::code = code;
        const QString message = failureOf([&] { save(4, 4, name); });
        QCOMPARE(fault::failing, fault::Step::none);
        QVERIFY2(message.contains(reason) && message.contains("orörd"), qPrintable(message));
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), oldBytes);
        QCOMPARE(folderEntries(), QStringList{"bitvik.ini"});
    }

    void fullDiskLeavesTheOldFile() {
        ScratchFolder folder;
        SmallFilesystem disk(folder.path());
        if (!disk.mounted())
            QSKIP(qPrintable(disk.skipReason));
        writeBytes(QStringLiteral("bitvik.ini"), oldBytes);
        QVERIFY(disk.fill());
        const QString message = failureOf([] { save(4, 4, QStringLiteral("ny.bmp")); });
        QVERIFY2(message.contains("disken är full") && message.contains(folder.path()),
                 qPrintable(message));
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), oldBytes);
        QCOMPARE(folderEntries(), (QStringList{"bitvik.ini", "fyllnad"}));
    }

    // Only those old enough to be abandoned: a young one is another program's save under way.
    void leftoversOfEarlierSavesAreCleared() {
        ScratchFolder folder;
        writeBytes(QStringLiteral("bitvik.ini.sparas.Ab3xYz"), "1\r\n");
        writeBytes(QStringLiteral("bitvik.ini.sparas.Ab3xY"), "kvar");
        writeBytes(QStringLiteral("bitvik.ini.backup"), "kvar");
        writeBytes(QStringLiteral("bitvik.ini.sparas.Stor12"), QByteArray(100 * 1024, 'x'));
        for (const QString& name : folderEntries())
            testsupport::makeAbandoned(name);
        writeBytes(QStringLiteral("bitvik.ini.sparas.Ny12cd"), "2\r\n");
        save(2, 2, QStringLiteral("a.bmp"));
        QCOMPARE(folderEntries(),
                 (QStringList{"bitvik.ini", "bitvik.ini.backup", "bitvik.ini.sparas.Ab3xY",
                              "bitvik.ini.sparas.Ny12cd", "bitvik.ini.sparas.Stor12"}));
    }

    void savingThroughALink_data() {
        QTest::addColumn<QString>("linkTo");  // relative to the scratch folder
        QTest::addColumn<QString>("refusal"); // empty: saved into the link's target
        QTest::newRow("to a regular file") << QStringLiteral("data/riktig.ini") << "";
        QTest::newRow("dangling, folder exists") << QStringLiteral("data/ny.ini") << "";
        QTest::newRow("dangling, folder missing")
            << QStringLiteral("saknas/ny.ini") << "i en mapp som inte finns";
        QTest::newRow("to a device node")
            << QStringLiteral("/dev/null") << "/dev/null, som inte är en vanlig fil";
        QTest::newRow("to a FIFO") << QStringLiteral("data/fifo") << "som inte är en vanlig fil";
        QTest::newRow("to a folder") << QStringLiteral("data") << "länk till mappen";
        QTest::newRow("to itself") << QStringLiteral("bitvik.ini") << "symboliska länkar";
    }
    void savingThroughALink() {
        QFETCH(QString, linkTo);
        QFETCH(QString, refusal);
        ScratchFolder folder;
        QVERIFY(QDir().mkdir(QStringLiteral("data")));
        writeBytes(QStringLiteral("data/riktig.ini"), oldBytes);
        QCOMPARE(::mkfifo("data/fifo", 0644), 0);
        QCOMPARE(::symlink(QFile::encodeName(linkTo).constData(), "bitvik.ini"), 0);
        struct stat device = {};
        QCOMPARE(::stat("/dev/null", &device), 0);
        const QStringList before =
            QDir(QStringLiteral("data")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const QString message = failureOf([] { save(4, 4, QStringLiteral("ny.bmp")); });
        QCOMPARE(QFile::symLinkTarget(QStringLiteral("bitvik.ini")),
                 QFileInfo(linkTo).absoluteFilePath());
        if (refusal.isEmpty()) {
            QVERIFY2(message.isEmpty(), qPrintable(message));
            QCOMPARE(readBytes(linkTo), settingsBytes(4, 4, "ny.bmp"));
        } else {
            QVERIFY2(message.contains(refusal) && message.contains("orörd"), qPrintable(message));
            QCOMPARE(readBytes(QStringLiteral("data/riktig.ini")), oldBytes);
            QCOMPARE(
                QDir(QStringLiteral("data")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                before);
        }
        struct stat after = {};
        QCOMPARE(::stat("/dev/null", &after), 0);
        QVERIFY(S_ISCHR(after.st_mode) && after.st_rdev == device.st_rdev);
    }

    void removedFolderIsNamed() {
        ScratchFolder folder;
        QVERIFY(QDir().mkdir(QStringLiteral("borta")));
        QDir::setCurrent(QStringLiteral("borta"));
        QVERIFY(QDir(folder.path()).rmdir(QStringLiteral("borta")));
        const QString message = failureOf([] { save(4, 4, QStringLiteral("ny.bmp")); });
        QDir::setCurrent(folder.path());
        QVERIFY2(message.contains(QStringLiteral("mappen finns inte längre")) &&
                     message.contains(QDir(folder.path()).filePath(QStringLiteral("borta"))),
                 qPrintable(message));
    }

    void folderInTheWayIsLeftAlone() {
        ScratchFolder folder;
        QVERIFY(QDir().mkpath(QStringLiteral("bitvik.ini/inside")));
        const QString message = failureOf([] { save(3, 3, QStringLiteral("a.bmp")); });
        QVERIFY2(message.contains(QStringLiteral("kan inte sparas")), qPrintable(message));
        QVERIFY(QDir(QStringLiteral("bitvik.ini/inside")).exists());
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
