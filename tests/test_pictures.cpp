// Pictures from files: natural sizes from the header and upright, pixels decoded only as finely as
// they are drawn, and every failure a clear report when the picture is loaded.

#include "forms/form.h"
#include "forms/image.h"
#include "jpegbounds.h"
#include "picturelimit.h"
#include "pictures/jpegdecoder.h"
#include "pictures/pictureclip.h"
#include "runtime/runtimeerror.h"
#include "support/testsupport.h"

#include <algorithm>
#include <cstdio>
// jpeglib.h needs the declarations of <cstdio> before it.
#include <jpeglib.h>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <sys/fsuid.h>
#include <unistd.h>

using namespace testsupport;

namespace {

// Qt's JPEG writer turns the pixels rather than record an orientation, so the Exif segment
// with the orientation tag is written here: a TIFF header and one IFD entry, 0x0112 SHORT.
QByteArray withOrientation(const QByteArray& jpeg, int orientation) {
    QByteArray tiff("II\x2A\x00\x08\x00\x00\x00" // little-endian, IFD at offset 8
                    "\x01\x00"                   // one entry
                    "\x12\x01\x03\x00\x01\x00\x00\x00",
                    18);
    tiff += char(orientation);
    tiff += QByteArray(3, '\0') + QByteArray(4, '\0'); // value padding, no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    const QByteArray segment =
        QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// A baseline JPEG whose frame header names another kind of frame or another precision.
QByteArray jpegFramed(char marker, char precision) {
    QByteArray bytes = encoded(gridPicture(64, 48, 2, 2), "JPEG");
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    bytes[frame + 1] = marker;
    bytes[frame + 4] = precision;
    return bytes;
}

enum class Colours { AdobeCmyk, YCbCr420, YCbCr444 };

// The picture written by libjpeg itself, in the colours and sampling named rather than those an
// encoder chooses (Qt 6.11 stops subsampling the colour above quality 90). AdobeCmyk: as
// Photoshop stores CMYK, Adobe's inverted values, which Qt's reader turns back into red
// k * c / 255, and so on; Qt writes no CMYK.
QByteArray libjpegEncoded(const QImage& image, Colours colours, bool progressive = false) {
    const bool cmyk = colours == Colours::AdobeCmyk;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &bytes, &size);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = cmyk ? 4 : 3;
    info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info); // CMYK with the Adobe marker that names it; YCbCr at 4:2:0
    if (colours == Colours::YCbCr444)
        info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(std::size_t(image.width()) * 4);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int rgb[] = {c.red(), c.green(), c.blue()};
            unsigned char* p = &row[std::size_t(x) * std::size_t(info.input_components)];
            if (!cmyk) {
                std::copy(std::begin(rgb), std::end(rgb), p);
                continue;
            }
            const int k = std::max({c.red(), c.green(), c.blue()});
            for (int i = 0; i < 3; ++i)
                p[i] = k ? uchar(rgb[i] * 255 / k) : 0;
            p[3] = uchar(k);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    const QByteArray result(reinterpret_cast<const char*>(bytes), qsizetype(size));
    jpeg_destroy_compress(&info);
    std::free(bytes);
    return result;
}

// A camera's view of a 320 x 160 scene: blue in the top left corner, green in the top right.
QImage scene() {
    QImage image(320, 160, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    painter.fillRect(0, 0, 80, 80, Qt::blue);
    painter.fillRect(240, 0, 80, 80, Qt::green);
    return image;
}

// Black and white squares with sides of `side` pixels, the first starting `offset` pixels early.
QImage squares(QSize size, int side, int offset = 0) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           ((x + offset) / side + (y + offset) / side) % 2 ? qRgb(255, 255, 255)
                                                                           : qRgb(0, 0, 0));
    }
    return image;
}

enum Corner { TopLeft, TopRight, BottomLeft, BottomRight };

// The middle of the corner's 80 x 80 block in a picture of the size.
QPoint inCorner(Corner corner, QSize size) {
    const int x = corner == TopLeft || corner == BottomLeft ? 40 : size.width() - 40;
    const int y = corner == TopLeft || corner == TopRight ? 40 : size.height() - 40;
    return QPoint(x, y);
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void jpegHeaderWalk_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("isJpeg");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("scans"); // -1: progressive, as many as the encoder wrote
        QTest::addColumn<qulonglong>("coefficientBytes");
        QTest::addColumn<QString>("refusal"); // empty: may be decoded
        const QImage photo = gridPicture(400, 300, 4, 3);
        // The coefficients of every block of 8 x 8 at 2 bytes each, 128 bytes a block, in whole
        // MCUs. 4:2:0: MCUs of 16 x 16 pixels, 25 x 19 of them (300 / 16 rounded up), each of
        // 4 luma blocks and one of each chroma plane. 4:4:4: MCUs of 8 x 8, 50 x 38, 3 blocks.
        const qulonglong progressive420 = (25 * 19) * (4 + 1 + 1) * 128;
        const qulonglong progressive444 = (50 * 38) * 3 * 128;
        const QByteArray progressive = libjpegEncoded(photo, Colours::YCbCr420, true);
        QTest::newRow("baseline") << encoded(photo, "JPEG") << true << QSize(400, 300) << 1 << 0ull
                                  << "";
        QTest::newRow("progressive")
            << progressive << true << QSize(400, 300) << -1 << progressive420 << "";
        QTest::newRow("progressive, cut short")
            << progressive.left(900) << true << QSize(400, 300) << -1 << progressive420 << "";
        QTest::newRow("progressive 4:4:4") << libjpegEncoded(photo, Colours::YCbCr444, true) << true
                                           << QSize(400, 300) << -1 << progressive444 << "";
        QTest::newRow("300 scans, the most allowed")
            << jpegWithScans(300) << true << QSize(64, 48) << 300 << 9216ull << "";
        QTest::newRow("1,000 scans") << jpegWithScans(1000) << true << QSize(64, 48) << 301
                                     << 9216ull << "fler än 300 avsnitt";
        QTest::newRow("claims 100 MP")
            << jpegClaiming(12000, 8400) << true << QSize(12000, 8400) << -1 << 302400000ull << "";
        QTest::newRow("claims 20000 x 20000")
            << jpegClaiming(20000, 20000) << true << QSize(20000, 20000) << -1 << 1200000000ull
            << "20000 × 20000 bildpunkter, progressiv";
        QTest::newRow("BMP") << encoded(photo, "BMP") << false << QSize() << 0 << 0ull << "";
        QTest::newRow("broken in its third scan")
            << brokenScanJpeg() << true << QSize(320, 240) << -1 << 0ull << "";
        QTest::newRow("nothing after the start marker")
            << QByteArray("\xFF\xD8", 2) << true << QSize(0, 0) << 0 << 0ull << "";
    }
    void jpegHeaderWalk() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, isJpeg);
        QFETCH(QSize, size);
        QFETCH(int, scans);
        QFETCH(qulonglong, coefficientBytes);
        QFETCH(QString, refusal);
        std::FILE* file = ::fmemopen(bytes.data(), std::size_t(bytes.size()), "rb");
        QVERIFY(file);
        const auto header = tk::jpeg::readHeader(file, tk::jpeg::Scans::Counted);
        std::fclose(file);
        QCOMPARE(header.has_value(), isJpeg);
        if (!header)
            return;
        QCOMPARE(QSize(header->width, header->height), size);
        if (scans >= 0)
            QCOMPARE(header->scans, scans);
        else
            QVERIFY(header->progressive && header->scans >= 1);
        if (coefficientBytes > 0 || scans >= 0)
            QCOMPARE(qulonglong(header->coefficientBytes), coefficientBytes);
        const QString refused = QString::fromStdString(tk::jpeg::refusal(*header));
        QVERIFY2(refusal.isEmpty() ? refused.isEmpty() : refused.contains(refusal),
                 qPrintable(refused));
    }

    // The decoder keeps the bounds itself, whoever calls it (the early decode does not read the
    // file beforehand), and every JPEG it takes shows as Qt's reader shows it.
    void decoderBoundsAndColours_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal"); // empty: decoded as Qt's reader decodes it
        QTest::newRow("YCbCr") << encoded(scene(), "JPEG") << "";
        QTest::newRow("greyscale")
            << encoded(scene().convertToFormat(QImage::Format_Grayscale8), "JPEG") << "";
        QTest::newRow("CMYK (Adobe)") << libjpegEncoded(scene(), Colours::AdobeCmyk) << "";
        QTest::newRow("1,000 scans") << jpegWithScans(1000) << "fler än 300 avsnitt";
        QTest::newRow("claims 20000 x 20000")
            << jpegClaiming(20000, 20000) << "20000 × 20000 bildpunkter, progressiv";
        QTest::newRow("12-bit") << jpegFramed('\xC1', 12) << "12 bitar per färgvärde";
        // libjpeg-turbo 3 reads a lossless header that 2.1 refuses: refused by kind with either.
        QTest::newRow("lossless") << jpegFramed('\xC3', 8) << "(förlustfritt kodad)";
        QTest::newRow("lossless, arithmetic") << jpegFramed('\xCB', 8) << "(förlustfritt kodad)";
    }
    void decoderBoundsAndColours() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        ScratchFolder folder;
        writeBytes(QStringLiteral("bild.jpg"), bytes);
        const std::atomic<bool> never{false};
        tk::jpeg::Pixels pixels;
        std::string refused;
        const tk::jpeg::Outcome outcome = tk::jpeg::decode("bild.jpg", 8, never, pixels, &refused);
        if (!refusal.isEmpty()) {
            QCOMPARE(outcome, tk::jpeg::Outcome::Failed);
            QVERIFY2(QString::fromStdString(refused).contains(refusal), refused.c_str());
            return;
        }
        QCOMPARE(outcome, tk::jpeg::Outcome::Decoded);
        const QImage byQt = QImageReader(QStringLiteral("bild.jpg")).read();
        QCOMPARE(QSize(pixels.width, pixels.height), byQt.size());
        for (int y = 4; y < byQt.height(); y += 8) {
            for (int x = 4; x < byQt.width(); x += 8) {
                const QColor ours = QColor::fromRgb(pixels.rgb[std::size_t(y * pixels.width + x)]);
                QVERIFY2(near(ours, byQt.pixelColor(x, y), 6),
                         qPrintable(QStringLiteral("(%1, %2): %3, Qt %4")
                                        .arg(x)
                                        .arg(y)
                                        .arg(ours.name(), byQt.pixelColor(x, y).name())));
            }
        }
    }

    // Where the stored picture's top corners go, by the orientation tag's definition.
    void photosStandUpright_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("blueCorner");
        QTest::addColumn<int>("greenCorner");
        QTest::newRow("1 as stored") << 1 << int(TopLeft) << int(TopRight);
        QTest::newRow("2 mirrored") << 2 << int(TopRight) << int(TopLeft);
        QTest::newRow("3 turned half round") << 3 << int(BottomRight) << int(BottomLeft);
        QTest::newRow("4 flipped") << 4 << int(BottomLeft) << int(BottomRight);
        QTest::newRow("5 transposed") << 5 << int(TopLeft) << int(BottomLeft);
        QTest::newRow("6 turned right") << 6 << int(TopRight) << int(BottomRight);
        QTest::newRow("7 transversed") << 7 << int(BottomRight) << int(TopRight);
        QTest::newRow("8 turned left") << 8 << int(BottomLeft) << int(TopLeft);
    }
    void photosStandUpright() {
        QFETCH(int, orientation);
        QFETCH(int, blueCorner);
        QFETCH(int, greenCorner);
        ScratchFolder folder;
        writeBytes(QStringLiteral("foto.jpg"),
                   withOrientation(encoded(scene(), "JPEG"), orientation));
        const tk::Picture photo = loadPicture(QStringLiteral("foto.jpg"));
        const QSize upright = orientation >= 5 ? QSize(160, 320) : QSize(320, 160);
        QCOMPARE(photo.pixelSize(), upright);
        QCOMPARE(imageSizeOf(photo), QSizeF(upright) * 15);

        // Drawn small first (from the pixels decoded at load), then at full size (decoded again).
        for (const int divisor : {16, 1}) {
            const QImage drawn = renderSettled(photo, upright / divisor);
            const auto at = [&](int corner) {
                return drawn.pixelColor(inCorner(Corner(corner), upright) / divisor);
            };
            QVERIFY2(near(at(blueCorner), Qt::blue), qPrintable(at(blueCorner).name()));
            QVERIFY2(near(at(greenCorner), Qt::green), qPrintable(at(greenCorner).name()));
        }

        // The cutter's cells are parts of the upright picture.
        tk::PictureClip clip;
        clip.setPicture(photo);
        clip.setRows(2);
        clip.setCols(2);
        const int blueCell = (blueCorner >= BottomLeft ? 2 : 0) + (blueCorner % 2);
        const QPoint cellOrigin(blueCorner % 2 ? upright.width() / 2 : 0,
                                blueCorner >= BottomLeft ? upright.height() / 2 : 0);
        const tk::Picture cell = clip.cell(blueCell);
        QCOMPARE(cell.pixelSize(), upright / 2);
        const QPoint inCell = (inCorner(Corner(blueCorner), upright) - cellOrigin) / 4;
        QVERIFY(near(cell.render(upright / 8).pixelColor(inCell), Qt::blue));
    }

    void fiftyMegapixelPhotoLoadsBeyondTheAllocationLimit() {
        ScratchFolder folder;
        QVERIFY(gridPicture(8688, 5792, 4, 3).save(QStringLiteral("foto.jpg"), "JPEG", 80));
        QVERIFY2(!tk::withinPictureLimit(8688, 5792),
                 "the limit no longer makes this test worth anything");

        const tk::Picture photo = loadPicture(QStringLiteral("foto.jpg"));
        // Qt's own decoders keep to the same limit, whatever their version's default.
        QCOMPARE(QImageReader::allocationLimit(), tk::pictureLimitMegabytes);
        QVERIFY(QImageReader(QStringLiteral("foto.jpg")).read().isNull());
        QCOMPARE(photo.pixelSize(), QSize(8688, 5792));
        QCOMPARE(imageSizeOf(photo), QSizeF(130320, 86880));
        tk::PictureClip clip;
        clip.setPicture(photo);
        clip.setRows(3);
        clip.setCols(4);
        for (int k = 0; k < 12; ++k) {
            const tk::Picture cell = clip.cell(k);
            QCOMPARE(cell.pixelSize(), QSize(2172, k / 4 == 0 ? 1930 : 1931));
            const QColor middle = cell.render(QSize(42, 28)).pixelColor(21, 14);
            QVERIFY2(near(middle, cellColour(k)), qPrintable(QString::number(k)));
        }
        // At its natural size it asks for more than the limit allows: drawn as finely as allowed.
        const QImage corner = renderSettled(photo, QSize(8688, 5792), QRect(2100, 0, 144, 16));
        QCOMPARE(corner.size(), QSize(144, 16));
        QVERIFY(near(corner.pixelColor(10, 8), cellColour(0)));
        QVERIFY(near(corner.pixelColor(134, 8), cellColour(1)));
    }

    // Squares of four pixels, half a JPEG block: the decode at an eighth sees only grey.
    void drawnLargerDecodesFiner() {
        ScratchFolder folder;
        savePicture(squares(QSize(4096, 128), 4), QStringLiteral("rutor.jpg"), "JPEG");
        const tk::Picture picture = loadPicture(QStringLiteral("rutor.jpg"));
        const QImage small = picture.render(QSize(512, 16));
        QVERIFY(qAbs(small.pixelColor(10, 10).lightness() - 128) < 40);
        const QImage full = renderSettled(picture, QSize(4096, 128)).copy(0, 0, 256, 128);
        QVERIFY2(full.pixelColor(1, 1).lightness() < 50, qPrintable(full.pixelColor(1, 1).name()));
        QVERIFY2(full.pixelColor(5, 1).lightness() > 205, qPrintable(full.pixelColor(5, 1).name()));
    }

    // Drawing finer than the pixels kept never waits for the file: the kept pixels are drawn at
    // once, the finer ones once the decode on the picture's own thread has brought them. A
    // picture freed while its decode is under way stops it and hears nothing more.
    void finerPixelsArriveAfterThePaint() {
        ScratchFolder folder;
        savePicture(squares(QSize(4096, 128), 4), QStringLiteral("rutor.jpg"), "JPEG");
        const tk::Picture picture = loadPicture(QStringLiteral("rutor.jpg"));
        QObject listener;
        int settled = 0;
        const auto count = [&] { ++settled; };
        for (int paint = 0; paint < 3; ++paint) {
            const QImage coarse = picture.render(QSize(4096, 128));
            QVERIFY2(qAbs(coarse.pixelColor(1, 1).lightness() - 128) < 40,
                     qPrintable(coarse.pixelColor(1, 1).name()));
            QVERIFY(picture.whenRefined(&listener, count));
        }
        QTRY_COMPARE_WITH_TIMEOUT(settled, 1, 60000);
        const QImage finer = picture.render(QSize(4096, 128));
        QVERIFY(!picture.whenRefined(&listener, count));
        QVERIFY2(finer.pixelColor(1, 1).lightness() < 50,
                 qPrintable(finer.pixelColor(1, 1).name()));

        {
            const tk::Picture freed = loadPicture(QStringLiteral("rutor.jpg"));
            freed.render(QSize(4096, 128));
            QVERIFY(freed.whenRefined(&listener, count));
        }
        QTest::qWait(200);
        QCOMPARE(settled, 1);
    }

    // Squares of eight pixels set off by four from the JPEG blocks: an eighth sees only grey, a
    // quarter still sees the squares. A preview-sized drawing needs no second decode, so it shows
    // them even once the file is gone.
    void firstDecodeServesAPreview() {
        ScratchFolder folder;
        writeBytes(QStringLiteral("rutor.jpg"), encoded(squares(QSize(1600, 64), 8, 4), "JPEG"));
        const tk::Picture picture = loadPicture(QStringLiteral("rutor.jpg"));
        QVERIFY(QFile::remove(QStringLiteral("rutor.jpg")));
        const QImage preview = picture.render(QSize(400, 16));
        int darkest = 255, lightest = 0;
        for (int x = 0; x < 400; ++x) {
            darkest = std::min(darkest, preview.pixelColor(x, 8).lightness());
            lightest = std::max(lightest, preview.pixelColor(x, 8).lightness());
        }
        QVERIFY2(lightest - darkest > 120,
                 qPrintable(QStringLiteral("%1..%2").arg(darkest).arg(lightest)));
    }

    // A file replaced or removed after loading: the picture still draws what was loaded.
    void drawsWhatWasLoaded() {
        ScratchFolder folder;
        // Wide enough to be decoded at an eighth first, so that drawing it whole decodes again.
        savePicture(filled(QSize(3200, 64), Qt::red), QStringLiteral("bild.jpg"), "JPEG");
        const tk::Picture picture = loadPicture(QStringLiteral("bild.jpg"));
        savePicture(filled(QSize(3200, 64), Qt::blue), QStringLiteral("bild.jpg"), "JPEG");
        QFile replaced(QStringLiteral("bild.jpg"));
        QVERIFY(replaced.open(QIODevice::ReadWrite));
        QVERIFY(replaced.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                     QFileDevice::FileModificationTime));
        replaced.close();
        QVERIFY(near(renderSettled(picture, QSize(3200, 64)).pixelColor(1600, 32), Qt::red));

        const tk::Picture gone = loadPicture(QStringLiteral("bild.jpg"));
        QVERIFY(QFile::remove(QStringLiteral("bild.jpg")));
        QVERIFY(near(renderSettled(gone, QSize(3200, 64)).pixelColor(1600, 32), Qt::blue));
    }

    // Each failure names the file.
    void loadFailures_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes"); // null: no such file
        QTest::addColumn<QString>("named");
        // Qt writes no GIF: an 8 x 6 GIF89a whose logical screen is 65535 x 65535.
        const QByteArray gifOnAHugeScreen =
            QByteArray::fromHex("474946383961ffffffff"
                                "f00000ff00000000ff21f90400000000002c000000000800060000020a8c03"
                                "0987ca0aa39caa00003b");
        const QString unshowable = QStringLiteral("av ett slag som programmen inte kan visa");
        QTest::newRow("missing") << "saknas.bmp" << QByteArray() << "finns inte i mappen";
        QTest::newRow("zero bytes") << "tom.gif" << QByteArray("") << "tom";
        QTest::newRow("text named .jpg")
            << "text.jpg" << QByteArray("inte en bild\n") << "kan inte läsas";
        QTest::newRow("truncated BMP")
            << "kort.bmp" << QByteArray("BM\x10\x00") << "kan inte läsas";
        QTest::newRow("BMP claiming 60000 x 60000")
            << "jatte.bmp" << bmpClaiming(60000, 60000) << "kan inte läsas";
        QTest::newRow("truncated GIF")
            << "kort.gif" << QByteArray("GIF89a\x10\x00") << "kan inte läsas";
        // Beyond the programs' own limit even at an eighth, whatever Qt's default.
        QTest::newRow("JPEG claiming 65000 x 65000")
            << "stor.jpg" << jpegClaiming(65000, 65000, false) << "för stor";
        QTest::newRow("BMP claiming 6000 x 6000, beyond the limit")
            << "stor.bmp" << bmpClaiming(6000, 6000) << "för stor för att avkodas (6000 × 6000";
        QTest::newRow("GIF on a 65535 x 65535 screen")
            << "skarm.gif" << gifOnAHugeScreen << "för stor för att avkodas (65535 × 65535";
        QTest::newRow("12-bit JPEG")
            << "tolv.jpg" << jpegFramed('\xC1', 12) << unshowable + " (12 bitar per färgvärde)";
        QTest::newRow("lossless JPEG")
            << "forlustfri.jpg" << jpegFramed('\xC3', 8) << unshowable + " (förlustfritt kodad)";
        QTest::newRow("hierarchical JPEG")
            << "hierarki.jpg" << jpegFramed('\xC5', 8) << unshowable + " (hierarkiskt kodad)";
        // The header reads well: decoding at load finds the error in a later scan.
        QTest::newRow("JPEG broken in its third scan")
            << "trasig.jpg" << brokenScanJpeg() << "skadade";
    }
    void loadFailures() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, named);
        ScratchFolder folder;
        if (!bytes.isNull())
            writeBytes(fileName, bytes);
        const QString message = loadFailure(fileName);
        QVERIFY2(message.contains(fileName) && message.contains(named), qPrintable(message));
    }

    // Screenshot and paint programs store BMPs from the top row down; they stand as stored.
    void topDownBmpStandsAsStored() {
        ScratchFolder folder;
        writeBytes(QStringLiteral("skarm.bmp"), topDownBmp(scene()));
        const tk::Picture picture = loadPicture(QStringLiteral("skarm.bmp"));
        QCOMPARE(picture.pixelSize(), QSize(320, 160));
        const QImage drawn = picture.render(QSize(320, 160));
        QVERIFY(near(drawn.pixelColor(inCorner(TopLeft, drawn.size())), Qt::blue));
        QVERIFY(near(drawn.pixelColor(inCorner(TopRight, drawn.size())), Qt::green));
    }

    void unreadablePictureSaysSo() {
        ScratchFolder folder;
        savePicture(gridPicture(40, 30, 1, 1), QStringLiteral("låst.bmp"), "BMP");
        QVERIFY(QFile::setPermissions(QStringLiteral("låst.bmp"), {}));
        // Root reads any file: the check is made with the file-system rights of nobody.
        QVERIFY(
            QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                     QFileDevice::ExeOther));
        const uid_t previous = ::setfsuid(::geteuid() == 0 ? 65534 : ::geteuid());
        const QString failure = loadFailure(QStringLiteral("låst.bmp"));
        ::setfsuid(previous);
        QVERIFY2(failure.contains(QStringLiteral("\"låst.bmp\"")) &&
                     failure.contains(QStringLiteral("filen kan inte läsas: du saknar behörighet")),
                 qPrintable(failure));
    }

    void partOfARenderingMatchesTheWhole() {
        const tk::Picture picture = pictureOf(gridPicture(70, 50, 7, 5));
        for (const QSize size : {QSize(70, 50), QSize(140, 100)}) {
            const QImage whole = picture.render(size);
            const QRect shown(size.width() / 3, size.height() / 5, size.width() / 2,
                              size.height() / 2);
            const QImage part = picture.render(size, shown);
            QCOMPARE(part.size(), shown.size());
            // Inside the part: at its very edge the smooth scaling sees no neighbours.
            for (int y = 2; y < part.height() - 2; y += 4) {
                for (int x = 2; x < part.width() - 2; x += 4)
                    QVERIFY(near(part.pixelColor(x, y),
                                 whole.pixelColor(shown.topLeft() + QPoint(x, y)), 8));
            }
        }
    }

    // A picture at its natural size, far larger than the window and partly left of it.
    void imageBeyondTheWindowRendersWhatShows() {
        RecordingProgram recorder;
        tk::Form form(recorder.program, {.clientWidth = 3000, .clientHeight = 3000});
        QSize largestDrawn;
        const tk::Picture grid = pictureOf(gridPicture(1000, 1000, 10, 10));
        const tk::Picture watched =
            tk::Picture::fromDrawing(QSize(1000, 1000), [&](QPainter& painter) {
                largestDrawn = largestDrawn.expandedTo(
                    QSize(painter.device()->width(), painter.device()->height()));
                painter.drawImage(0, 0, grid.render(QSize(1000, 1000)));
            });
        tk::Image image(form, {.bounds = {-1500, 0, 100, 100}});
        image.setPicture(watched);
        QCOMPARE(image.width(), 15000.0f);
        const QImage shot = form.widget()->grab().toImage();
        QCOMPARE(shot.size(), QSize(200, 200));
        QVERIFY(largestDrawn.width() <= 200 && largestDrawn.height() <= 200);
        QVERIFY(near(shot.pixelColor(50, 50), cellColour(1), 8));    // picture at (150, 50)
        QVERIFY(near(shot.pixelColor(150, 150), cellColour(12), 8)); // picture at (250, 150)
    }

    // The loader and the picture cutter.
    void loaderReadsByRelativeNameButNoFolder() {
        ScratchFolder folder;
        savePicture(gridPicture(40, 30, 2, 1), QStringLiteral("a.bmp"));
        savePicture(gridPicture(41, 31, 1, 1), QStringLiteral("b.jpg"), "JPEG");
        savePicture(gridPicture(20, 10, 1, 1), QStringLiteral("png-named.bmp"), "PNG");
        QCOMPARE(imageSizeOf(loadPicture(QStringLiteral("a.bmp"))), QSizeF(600, 450));
        QCOMPARE(loadPicture(QStringLiteral("b.jpg")).pixelSize(), QSize(41, 31));
        QCOMPARE(loadPicture(QStringLiteral("png-named.bmp")).pixelSize(), QSize(20, 10));
        QVERIFY(QDir().mkdir(QStringLiteral("mapp.bmp")));
        QVERIFY(loadFailure(QStringLiteral("mapp.bmp")).contains(QStringLiteral("är en mapp")));
    }

    void cutterSharesOutEveryPixel_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("cols");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("10 in 3") << 10 << 3 << QList<int>{3, 3, 4};
        QTest::newRow("7 in 7") << 7 << 7 << QList<int>{1, 1, 1, 1, 1, 1, 1};
        QTest::newRow("400 in 4") << 400 << 4 << QList<int>{100, 100, 100, 100};
        QTest::newRow("5 in 7, some cells empty") << 5 << 7 << QList<int>{0, 1, 1, 0, 1, 1, 1};
    }
    void cutterSharesOutEveryPixel() {
        QFETCH(int, width);
        QFETCH(int, cols);
        QFETCH(QList<int>, widths);
        tk::PictureClip clip;
        clip.setPicture(pictureOf(filled(QSize(width, 9), Qt::blue)));
        clip.setRows(3);
        clip.setCols(cols);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < cols; ++c) {
                const QSize size = clip.cell(r * cols + c).pixelSize();
                QCOMPARE(size.width(), widths[c]);
                QCOMPARE(size.height(), 3);
            }
        }
    }

    void cutterCellIdentity() {
        tk::PictureClip clip;
        const tk::Picture source = pictureOf(filled(QSize(30, 20), Qt::green));
        clip.setPicture(source);
        clip.setRows(1);
        clip.setCols(1);
        QCOMPARE(clip.cell(0).pixelSize(), source.pixelSize());
        clip.setRows(2);
        clip.setCols(3);
        for (int k = 0; k < 6; ++k) {
            QVERIFY(clip.cell(k) == clip.cell(k));
            for (int j = 0; j < k; ++j)
                QVERIFY(!(clip.cell(k) == clip.cell(j)));
        }
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, clip.cell(6));
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, clip.cell(-1));
        clip.setCols(0);
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, clip.cell(0));
    }

    void cellsRenderTheirOwnPart() {
        tk::PictureClip clip;
        clip.setPicture(pictureOf(gridPicture(70, 50, 7, 5)));
        clip.setRows(5);
        clip.setCols(7);
        for (int k = 0; k < 35; ++k) {
            const QImage cell = clip.cell(k).render(QSize(23, 17));
            QCOMPARE(cell.pixelColor(11, 8), cellColour(k));
        }
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
