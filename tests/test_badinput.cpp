// Broken settings files and pictures through the game's whole start-up: a Swedish report naming
// the cause and the end with status 1, or, where the input is readable after all, a board; never a
// crash, and bitvik.ini never changed. Hostile files go through both programs, within a bound.

#include "support/clicks.h"
#include "support/settingsbytes.h"
#include "support/startedgame.h"
#include "support/startedsetup.h"
#include "support/unreadablesettings.h"

#include "common/previewpixels.h"
#include "common/settingsfile.h"
#include "common/settingspeek.h"
#include "pictures/earlydecode.h"

#include <ctime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

const QByteArray goodBmp = encoded(gridPicture(400, 300, 4, 3), "BMP");
const QByteArray goodJpeg = encoded(gridPicture(400, 300, 4, 3), "JPEG");
// Qt writes no GIF; this is an 8 x 6 GIF89a, red with a blue corner.
const QByteArray goodGif = QByteArray::fromHex(
    "47494638396108000600f00000ff00000000ff21f90400000000002c000000000800060000020a8c030987ca0aa39c"
    "aa00003b");

QByteArray settingsNaming(const QByteArray& name) {
    return settingsBytes(4, 3, name);
}

using Prepare = std::function<void()>;

// However hostile the file, each program ends (a report) or plays within a bound. A stall is
// work, so the bound that matters is on the process's CPU time, which other programs on a busy
// machine do not inflate as they do wall time (up to three times here); a looser bound on wall
// time catches a program that waits instead.
constexpr qint64 cpuBoundMs = 2000;
constexpr qint64 wallBoundMs = 10000;

qint64 cpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// An 8-bit RLE bitmap whose runs go on far past its 16 x 16 pixels, with no end marker.
QByteArray rleRunningPastTheData() {
    QByteArray palette;
    for (int i = 0; i < 256; ++i)
        palette += QByteArray(1, char(i)) + char(255 - i) + char(i / 2) + '\0';
    QByteArray runs;
    for (int i = 0; i < 4096; ++i)
        runs += QByteArray("\xFF", 1) + char(i % 256);
    const auto le = [](quint32 v, int bytes) {
        QByteArray out;
        for (int i = 0; i < bytes; ++i)
            out += char(v >> (8 * i) & 0xFF);
        return out;
    };
    const quint32 offset = 14 + 40 + 1024;
    return "BM" + le(offset + runs.size(), 4) + le(0, 4) + le(offset, 4) + le(40, 4) + le(16, 4) +
           le(16, 4) + le(1, 2) + le(8, 2) + le(1, 4) + le(runs.size(), 4) + le(2835, 4) +
           le(2835, 4) + le(256, 4) + le(0, 4) + palette + runs;
}

void symlinkTo(const char* target, const char* name) {
    QCOMPARE(::symlink(target, name), 0);
}

} // namespace

Q_DECLARE_METATYPE(Prepare)

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void startUp_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("pictureName");
        QTest::addColumn<QByteArray>("picture");
        QTest::addColumn<QString>("failure"); // empty: the board is built
        const QByteArray sol = settingsNaming("sol.bmp");
        QTest::newRow("no bitvik.ini")
            << QByteArray() << "sol.bmp" << goodBmp << "finns inte i mappen";
        for (const UnreadableSettings& s : unreadableSettings())
            QTest::newRow(s.name) << s.bytes << "sol.bmp" << goodBmp << QString::fromUtf8(s.why);
        QTest::newRow("no final CR LF")
            << QByteArray("4\r\n3\r\n\"sol.bmp\"") << "sol.bmp" << goodBmp << "";
        QTest::newRow("LF line ends")
            << QByteArray("4\n3\n\"sol.bmp\"\n") << "sol.bmp" << goodBmp << "";
        QTest::newRow("signed count +4")
            << QByteArray("+4\r\n3\r\n\"sol.bmp\"\r\n") << "sol.bmp" << goodBmp << "";
        QTest::newRow("count 0") << QByteArray("0\r\n3\r\n\"sol.bmp\"\r\n") << "sol.bmp" << goodBmp
                                 << "minst 1";
        QTest::newRow("count -3") << QByteArray("4\r\n-3\r\n\"sol.bmp\"\r\n") << "sol.bmp"
                                  << goodBmp << "som -3";
        QTest::newRow("name is a folder")
            << settingsNaming("mapp") << "sol.bmp" << goodBmp << "är en mapp";
        QTest::newRow("absolute path")
            << settingsNaming(QDir::temp().filePath("saknas-helt.bmp").toUtf8()) << "sol.bmp"
            << goodBmp << "finns inte i mappen";
        QTest::newRow("path outside the folder")
            << settingsNaming("../utanfor.bmp") << "sol.bmp" << goodBmp << "finns inte i mappen";
        QTest::newRow("picture of zero bytes")
            << sol << "sol.bmp" << QByteArray("") << "filen är tom";
        QTest::newRow("truncated BMP")
            << sol << "sol.bmp" << goodBmp.left(goodBmp.size() / 2) << "";
        QTest::newRow("BMP header only")
            << sol << "sol.bmp" << goodBmp.left(30) << "kan inte läsas";
        QTest::newRow("truncated JPEG")
            << settingsNaming("sol.jpg") << "sol.jpg" << goodJpeg.left(goodJpeg.size() / 2) << "";
        QTest::newRow("JPEG header only")
            << settingsNaming("sol.jpg") << "sol.jpg" << goodJpeg.left(20) << "kan inte läsas";
        QTest::newRow("GIF, tiny") << settingsNaming("sol.gif") << "sol.gif" << goodGif << "";
        QTest::newRow("truncated GIF")
            << settingsNaming("sol.gif") << "sol.gif" << goodGif.left(20) << "kan inte läsas";
        QTest::newRow("BMP claiming 60000 x 60000")
            << sol << "sol.bmp" << bmpClaiming(60000, 60000) << "kan inte läsas";
        QTest::newRow("BMP claiming a negative width")
            << sol << "sol.bmp" << bmpClaiming(-400, 300) << "kan inte läsas";
        QTest::newRow("text named .jpg")
            << settingsNaming("sol.jpg") << "sol.jpg" << QByteArray("Det här är ingen bild.\n")
            << "kan inte läsas";
        QTest::newRow("BMP stored top row first")
            << sol << "sol.bmp" << topDownBmp(gridPicture(400, 300, 4, 3)) << "";
        QTest::newRow("PNG named .bmp")
            << sol << "sol.bmp" << encoded(gridPicture(400, 300, 4, 3), "PNG") << "";
    }
    void startUp() {
        QFETCH(QByteArray, settings);
        QFETCH(QString, pictureName);
        QFETCH(QByteArray, picture);
        QFETCH(QString, failure);
        ScratchFolder folder;
        QVERIFY(QDir().mkdir(QStringLiteral("mapp")));
        writeBytes(pictureName, picture);
        if (!settings.isNull())
            writeBytes(QStringLiteral("bitvik.ini"), settings);
        const QStringList filesBefore = folderEntries();

        const GameWindow game;
        const QStringList& reports = game.recorder.reports;
        if (failure.isEmpty()) {
            QVERIFY2(game.started(), qPrintable(game.recorder.report()));
            QCOMPARE(game.form->Image1.width(), 4455.0f);
            QCOMPARE(game.form->BITVIK.pieceCount.value(), 12);
        } else {
            QCOMPARE(reports.size(), 1);
            QVERIFY2(reports[0].contains(failure), qPrintable(reports[0]));
            QCOMPARE(game.recorder.endings, QList<int>{1});
            QVERIFY(!game.form->isVisible());
        }
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")),
                 settings.isNull() ? QByteArray() : settings);
        QCOMPARE(folderEntries(), filesBefore);
    }

    void hostileFiles_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<Prepare>("prepare");
        QTest::addColumn<Prepare>("beforeOk");  // Tralloma only: run, then OK pressed
        QTest::addColumn<QString>("failure");   // empty: plays (or saves)
        QTest::addColumn<QStringList>("added"); // entries a save adds to the folder
        const auto game = [](const QByteArray& name, const QByteArray& bytes) {
            return Prepare([=] {
                writeBytes(QString::fromUtf8(name), bytes);
                writeBytes(QStringLiteral("bitvik.ini"), settingsNaming(name));
            });
        };
        const auto first = [](const QByteArray& name, const QByteArray& bytes) {
            return Prepare([=] {
                writeBytes(QString::fromUtf8(name), bytes);
                writeBytes(QStringLiteral("z.bmp"), goodBmp);
            });
        };
        const Prepare none;
        const QString scans = QStringLiteral("fler än 300 avsnitt");
        const QString lying = QStringLiteral("30000 × 30000 bildpunkter, progressiv");
        const QString special = QStringLiteral("ingen vanlig fil");
        const QByteArray bomb1k = jpegWithScans(1000, 4096, 4096);
        const QByteArray bomb30k = jpegWithScans(30000, 4096, 4096);
        const QByteArray liar = jpegClaiming(30000, 30000);
        const QByteArray photo50 = encoded(gridPicture(8688, 5792, 4, 3), "JPEG", 90, true);
        const QByteArray photo24 = encoded(gridPicture(6000, 4000, 4, 3), "JPEG", 90, true);
        const QByteArray rle = rleRunningPastTheData();
        const QByteArray zeroPng = [] {
            QImage zero(8000, 8000, QImage::Format_Grayscale8);
            zero.fill(0);
            return encoded(zero, "PNG");
        }();
        const Prepare fifo = [] { QCOMPARE(::mkfifo("a.bmp", 0644), 0); };
        const Prepare zeroLink = [] { symlinkTo("/dev/zero", "a.jpg"); };
        // The photo a.jpg, where its thumbnail belongs in the cache (0: x-large, 1: xx-large)
        // something else.
        const QByteArray photo = encoded(gridPicture(2400, 1800, 4, 3), "JPEG");
        const auto cached = [=](int size, bool asFifo, bool named) {
            return Prepare([=] {
                writeBytes(QStringLiteral("a.jpg"), photo);
                if (named)
                    writeBytes(QStringLiteral("bitvik.ini"), settingsNaming("a.jpg"));
                const QByteArray path =
                    QFile::encodeName(thumbnailPath(QStringLiteral("a.jpg"), size));
                QVERIFY(QDir().mkpath(QFileInfo(path).path()));
                if (asFifo)
                    QCOMPARE(::mkfifo(path.constData(), 0644), 0);
                else
                    symlinkTo("/dev/zero", path.constData());
            });
        };

        QTest::newRow("game: 1,000 scans")
            << "Bitvik" << game("b.jpg", bomb1k) << none << scans << QStringList();
        QTest::newRow("game: 30,000 scans")
            << "Bitvik" << game("b.jpg", bomb30k) << none << scans << QStringList();
        QTest::newRow("game: 30000 x 30000 progressive header")
            << "Bitvik" << game("b.jpg", liar) << none << lying << QStringList();
        QTest::newRow("game: progressive 50 MP")
            << "Bitvik" << game("b.jpg", photo50) << none << "" << QStringList();
        QTest::newRow("game: RLE runs past the data")
            << "Bitvik" << game("b.bmp", rle) << none << "" << QStringList();
        QTest::newRow("game: 8000 x 8000 zero PNG named .gif")
            << "Bitvik" << game("b.gif", zeroPng) << none << "för stor" << QStringList();
        QTest::newRow("game: FIFO named .bmp") << "Bitvik" << Prepare([=] {
            fifo();
            writeBytes(QStringLiteral("bitvik.ini"), settingsNaming("a.bmp"));
        }) << none << special << QStringList();
        QTest::newRow("game: link to /dev/zero named .jpg") << "Bitvik" << Prepare([=] {
            zeroLink();
            writeBytes(QStringLiteral("bitvik.ini"), settingsNaming("a.jpg"));
        }) << none << special << QStringList();
        QTest::newRow("game: thumbnail a FIFO")
            << "Bitvik" << cached(0, true, true) << none << "" << QStringList();
        QTest::newRow("game: thumbnail a link to /dev/zero")
            << "Bitvik" << cached(1, false, true) << none << "" << QStringList();
        // An old archive's Latin-1 name, which bitvik.ini carries byte for byte.
        QTest::newRow("game: picture named in Latin-1") << "Bitvik" << Prepare([] {
            writeBytesNamed("f\xE4rg.bmp", goodBmp);
            writeBytes(QStringLiteral("bitvik.ini"), settingsNaming("f\xE4rg.bmp"));
        }) << none << "" << QStringList();
        QTest::newRow("game: bitvik.ini a FIFO") << "Bitvik" << Prepare([] {
            writeBytes(QStringLiteral("a.bmp"), goodBmp);
            QCOMPARE(::mkfifo("bitvik.ini", 0644), 0);
        }) << none << special << QStringList();
        QTest::newRow("game: bitvik.ini a dangling link") << "Bitvik" << Prepare([] {
            writeBytes(QStringLiteral("a.bmp"), goodBmp);
            symlinkTo("saknas.ini", "bitvik.ini");
        }) << none << "finns inte" << QStringList();
        QTest::newRow("game: bitvik.ini a link to a device node") << "Bitvik" << Prepare([] {
            writeBytes(QStringLiteral("a.bmp"), goodBmp);
            symlinkTo("/dev/null", "bitvik.ini");
        }) << none << special << QStringList();

        QTest::newRow("tool: 1,000 scans first")
            << "Tralloma" << first("a.jpg", bomb1k) << none << scans << QStringList();
        QTest::newRow("tool: 30,000 scans first")
            << "Tralloma" << first("a.jpg", bomb30k) << none << scans << QStringList();
        QTest::newRow("tool: 30000 x 30000 progressive header first")
            << "Tralloma" << first("a.jpg", liar) << none << lying << QStringList();
        // The tool decodes its first picture twice as it starts (its click handler, then its load
        // handler): a 50 MP photo costs it twice what it costs the game, near the bound.
        QTest::newRow("tool: progressive 24 MP first, OK")
            << "Tralloma" << first("a.jpg", photo24) << Prepare([] {}) << ""
            << QStringList{"bitvik.ini"};
        QTest::newRow("tool: FIFO in the list, left out, OK") << "Tralloma" << Prepare([=] {
            fifo();
            writeBytes(QStringLiteral("z.bmp"), goodBmp);
        }) << Prepare([] {}) << "" << QStringList{"bitvik.ini"};
        QTest::newRow("tool: link to /dev/zero first in the list") << "Tralloma" << Prepare([=] {
            zeroLink();
            writeBytes(QStringLiteral("z.bmp"), goodBmp);
        }) << none << special << QStringList();
        QTest::newRow("tool: the only picture named in Latin-1, OK")
            << "Tralloma" << Prepare([] { writeBytesNamed("f\xE4rg.bmp", goodBmp); })
            << Prepare([] {}) << "" << QStringList{"bitvik.ini"};
        QTest::newRow("tool: thumbnail a FIFO, OK")
            << "Tralloma" << cached(0, true, false) << Prepare([] {}) << ""
            << QStringList{"bitvik.ini"};
        QTest::newRow("tool: thumbnail a link to /dev/zero, OK")
            << "Tralloma" << cached(0, false, false) << Prepare([] {}) << ""
            << QStringList{"bitvik.ini"};
        QTest::newRow("tool: bitvik.ini a dangling link, OK") << "Tralloma" << Prepare([] {
            writeBytes(QStringLiteral("a.bmp"), goodBmp);
            symlinkTo("sparad.ini", "bitvik.ini");
        }) << Prepare([] {}) << "" << QStringList{"sparad.ini"};
        QTest::newRow("tool: bitvik.ini a link to a device node, OK") << "Tralloma" << Prepare([] {
            writeBytes(QStringLiteral("a.bmp"), goodBmp);
            symlinkTo("/dev/null", "bitvik.ini");
        }) << Prepare([] {}) << "/dev/null, som inte är en vanlig fil" << QStringList();
        QTest::newRow("tool: folder removed before OK") << "Tralloma" << Prepare([] {
            QVERIFY(QDir().mkdir(QStringLiteral("borta")));
            QDir::setCurrent(QStringLiteral("borta"));
            writeBytes(QStringLiteral("a.bmp"), goodBmp);
        }) << Prepare([] {
            QVERIFY(QFile::remove(QStringLiteral("a.bmp")));
            QVERIFY(QDir(QStringLiteral("..")).rmdir(QStringLiteral("borta")));
        }) << "borta kan inte sparas: mappen finns inte längre"
                                                        << QStringList();
    }
    void hostileFiles() {
        QFETCH(QString, program);
        QFETCH(Prepare, prepare);
        QFETCH(Prepare, beforeOk);
        QFETCH(QString, failure);
        QFETCH(QStringList, added);
        ScratchFolder folder;
        prepare();
        QStringList expected = folderEntries() + added;
        expected.sort();
        const QByteArray settings = readBytes(QStringLiteral("bitvik.ini"));
        struct stat device = {};
        QCOMPARE(::stat("/dev/null", &device), 0);

        RecordingProgram recorder(program);
        QElapsedTimer clock;
        clock.start();
        const qint64 cpuAtStart = cpuMs();
        if (program == QStringLiteral("Bitvik")) {
            // As main() starts it: the picture bitvik.ini names is decoded early.
            tk::EarlyDecode early(common::peekPictureName(common::settingsFileName),
                                  common::previewPixels(1));
            bitvik::Form1 form(recorder.program, tk::Random(), bitvik::takingEarlyDecode(early));
            form.loadAndShow();
            if (failure.isEmpty())
                QCOMPARE(form.BITVIK.pieceCount.value(), 12);
        } else {
            tralloma::Form1 form(recorder.program);
            form.loadAndShow();
            if (beforeOk && recorder.reports.isEmpty()) {
                beforeOk();
                click(form.Command1.widget());
            }
        }
        const qint64 cpu = cpuMs() - cpuAtStart;
        const qint64 wall = clock.elapsed();
        QVERIFY2(
            cpu < cpuBoundMs && wall < wallBoundMs,
            qPrintable(QStringLiteral("took %1 ms of CPU time, %2 ms in all").arg(cpu).arg(wall)));

        if (failure.isEmpty()) {
            QVERIFY2(recorder.reports.isEmpty(), qPrintable(recorder.reports.value(0)));
            QCOMPARE(recorder.endings, beforeOk ? QList<int>{0} : QList<int>{});
        } else {
            QCOMPARE(recorder.reports.size(), 1);
            QVERIFY2(recorder.reports[0].contains(failure), qPrintable(recorder.reports[0]));
            QCOMPARE(recorder.endings, QList<int>{1});
        }
        const bool folderRemoved =
            !QFileInfo::exists(QFile::symLinkTarget(QStringLiteral("/proc/self/cwd")));
        if (!folderRemoved) {
            QCOMPARE(folderEntries(), expected);
            if (added.isEmpty())
                QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), settings);
        }
        struct stat after = {};
        QCOMPARE(::stat("/dev/null", &after), 0);
        QVERIFY(S_ISCHR(after.st_mode) && after.st_rdev == device.st_rdev);
    }
};

QTEST_MAIN(TestBadInput)
#include "test_badinput.moc"
