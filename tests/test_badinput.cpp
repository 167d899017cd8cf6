// Broken settings files and pictures, each through the game's whole start-up: either a Swedish
// error report naming the cause and the end with status 1, or, where the input is in fact
// readable, a board as usual. Never a crash, and bitvik.ini is never changed.

#include "game/form1.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QTest>

using namespace testsupport;

namespace {

const QByteArray goodBmp = encoded(gridPicture(400, 300, 4, 3), "BMP");
const QByteArray goodJpeg = encoded(gridPicture(400, 300, 4, 3), "JPEG");
const QByteArray goodGif = [] {
    // Qt writes no GIF; this is an 8 x 6 GIF89a, red with a blue corner.
    return QByteArray::fromHex("47494638396108000600f00000ff00000000ff21f90400000000002c0000000008"
                               "00060000020a8c030987ca0aa39caa00003b");
}();

QByteArray settingsNaming(const QByteArray& name) { return "4\r\n3\r\n\"" + name + "\"\r\n"; }

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void startUp_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("pictureName");
        QTest::addColumn<QByteArray>("picture");
        QTest::addColumn<QString>("failure"); // empty: the board is built
        const QByteArray sol = settingsNaming("sol.bmp");
        QTest::newRow("no bitvik.ini") << QByteArray() << "sol.bmp" << goodBmp << "finns inte i mappen";
        QTest::newRow("empty") << QByteArray("") << "sol.bmp" << goodBmp << "värde 1 (antal kolumner) saknas";
        QTest::newRow("one value") << QByteArray("4\r\n") << "sol.bmp" << goodBmp << "värde 2";
        QTest::newRow("two values") << QByteArray("4\r\n3\r\n") << "sol.bmp" << goodBmp << "värde 3";
        QTest::newRow("no final CR LF") << QByteArray("4\r\n3\r\n\"sol.bmp\"") << "sol.bmp" << goodBmp << "";
        QTest::newRow("LF line ends") << QByteArray("4\n3\n\"sol.bmp\"\n") << "sol.bmp" << goodBmp << "";
        QTest::newRow("non-numeric count") << QByteArray("x\r\n3\r\n\"sol.bmp\"\r\n") << "sol.bmp" << goodBmp
                                           << "inte är ett heltal";
        QTest::newRow("signed count +4") << QByteArray("+4\r\n3\r\n\"sol.bmp\"\r\n") << "sol.bmp" << goodBmp << "";
        QTest::newRow("count 32768") << QByteArray("32768\r\n3\r\n\"sol.bmp\"\r\n") << "sol.bmp" << goodBmp
                                     << "16-bitars";
        QTest::newRow("count 0") << QByteArray("0\r\n3\r\n\"sol.bmp\"\r\n") << "sol.bmp" << goodBmp
                                 << "minst 1";
        QTest::newRow("count -3") << QByteArray("4\r\n-3\r\n\"sol.bmp\"\r\n") << "sol.bmp" << goodBmp
                                  << "som -3";
        QTest::newRow("unterminated quote") << QByteArray("4\r\n3\r\n\"sol.bmp\r\n") << "sol.bmp" << goodBmp
                                            << "avslutande citattecken";
        QTest::newRow("binary garbage") << QByteArray("\x89\x00\xFF\x13\x37\xC3\x28", 7) << "sol.bmp"
                                        << goodBmp << "inte är ett heltal";
        QTest::newRow("megabyte-long line") << QByteArray("4,3,\"") + QByteArray(1 << 20, 'x') + "\"\r\n"
                                            << "sol.bmp" << goodBmp << "längre än 4096";
        QTest::newRow("name is a folder") << settingsNaming("mapp") << "sol.bmp" << goodBmp << "är en mapp";
        QTest::newRow("absolute path") << settingsNaming(QDir::temp().filePath("saknas-helt.bmp").toUtf8())
                                       << "sol.bmp" << goodBmp << "finns inte i mappen";
        QTest::newRow("path outside the folder") << settingsNaming("../utanfor.bmp") << "sol.bmp" << goodBmp
                                                 << "finns inte i mappen";
        QTest::newRow("picture of zero bytes") << sol << "sol.bmp" << QByteArray("") << "filen är tom";
        QTest::newRow("truncated BMP") << sol << "sol.bmp" << goodBmp.left(goodBmp.size() / 2) << "";
        QTest::newRow("BMP header only") << sol << "sol.bmp" << goodBmp.left(30) << "kan inte läsas";
        QTest::newRow("truncated JPEG") << settingsNaming("sol.jpg") << "sol.jpg"
                                        << goodJpeg.left(goodJpeg.size() / 2) << "";
        QTest::newRow("JPEG header only") << settingsNaming("sol.jpg") << "sol.jpg" << goodJpeg.left(20)
                                          << "kan inte läsas";
        QTest::newRow("GIF, tiny") << settingsNaming("sol.gif") << "sol.gif" << goodGif << "";
        QTest::newRow("truncated GIF") << settingsNaming("sol.gif") << "sol.gif" << goodGif.left(20)
                                       << "kan inte läsas";
        QTest::newRow("BMP claiming 60000 x 60000") << sol << "sol.bmp" << bmpClaiming(60000, 60000)
                                                    << "kan inte läsas";
        QTest::newRow("BMP claiming a negative width") << sol << "sol.bmp" << bmpClaiming(-400, 300)
                                                       << "kan inte läsas";
        QTest::newRow("text named .jpg") << settingsNaming("sol.jpg") << "sol.jpg"
                                         << QByteArray("Det här är ingen bild.\n") << "kan inte läsas";
        QTest::newRow("PNG named .bmp") << sol << "sol.bmp" << encoded(gridPicture(400, 300, 4, 3), "PNG")
                                        << "";
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
        const QStringList filesBefore = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        RecordingProgram recorder;
        bitvik::Form1 form(recorder.program);
        form.loadAndShow();

        if (failure.isEmpty()) {
            QVERIFY2(recorder.reports.isEmpty(), qPrintable(recorder.reports.value(0)));
            QVERIFY(form.isVisible());
            QCOMPARE(form.Image1.width(), 4455.0f);
            QCOMPARE(form.BITVIK.pieceCount.value(), 12);
        } else {
            QCOMPARE(recorder.reports.size(), 1);
            QVERIFY2(recorder.reports[0].contains(failure), qPrintable(recorder.reports[0]));
            QCOMPARE(recorder.endings, QList<int>{1});
            QVERIFY(!form.isVisible());
        }
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), settings.isNull() ? QByteArray() : settings);
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
    }
};

QTEST_MAIN(TestBadInput)
#include "test_badinput.moc"
