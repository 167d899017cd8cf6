// How fast the loader refuses a hostile JPEG, and what it costs, one file a process so that
// /usr/bin/time -v gives each one's peak memory:
//
//   bitvik-jpegbounds generate FOLDER          scans30k.jpg, liar60k.jpg, photo24.jpg
//   bitvik-jpegbounds game|tool FILE           the game's start-up or the tool's click on FILE
//   bitvik-jpegbounds decoder FILE             the JPEG decoder alone, at full size
//
// The game decodes early on a thread, then opens and decodes the file; the tool opens it at its
// click and decodes it on its preview thread. The decoder alone is what a decode costs that no
// header read went before (the early decode, the tool's preview thread).

#include "pictures/earlydecode.h"
#include "pictures/jpegdecoder.h"
#include "pictures/picturefile.h"
#include "runtime/runtimeerror.h"

#include <cstdio>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace {

QByteArray progressive(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height() / 2, Qt::blue);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    return buffer.data();
}

// A small progressive JPEG whose frame claims another size.
QByteArray claiming(quint16 width, quint16 height) {
    QByteArray jpeg = progressive(QSize(64, 48));
    const qsizetype frame = jpeg.indexOf(QByteArray("\xFF\xC2", 2));
    jpeg[frame + 5] = char(height >> 8);
    jpeg[frame + 6] = char(height & 0xFF);
    jpeg[frame + 7] = char(width >> 8);
    jpeg[frame + 8] = char(width & 0xFF);
    return jpeg;
}

// Its last scan repeated until the file holds `scans`.
QByteArray withScans(int scans, quint16 width, quint16 height) {
    const QByteArray jpeg = claiming(width, height);
    const QByteArray sos("\xFF\xDA", 2);
    const qsizetype last = jpeg.lastIndexOf(sos);
    const qsizetype end = jpeg.lastIndexOf(QByteArray("\xFF\xD9", 2));
    const int present = int(jpeg.count(sos));
    return jpeg.left(end) + jpeg.mid(last, end - last).repeated(scans - present) +
           QByteArray("\xFF\xD9", 2);
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("generate")) {
        const QString folder = args[2] + QLatin1Char('/');
        const bool written = write(folder + "scans30k.jpg", withScans(30000, 4096, 4096)) &&
                             write(folder + "liar60k.jpg", claiming(60000, 60000)) &&
                             write(folder + "photo24.jpg", progressive(QSize(6000, 4000)));
        return written ? 0 : 1;
    }
    const QStringList modes{QStringLiteral("game"), QStringLiteral("tool"),
                            QStringLiteral("decoder")};
    if (args.size() != 3 || !modes.contains(args[1])) {
        std::fprintf(stderr, "usage: bitvik-jpegbounds generate FOLDER | game|tool|decoder FILE\n");
        return 2;
    }
    const QString& file = args[2];
    constexpr int drawnWidth = 400;
    const std::atomic<bool> never{false};
    QElapsedTimer clock;
    clock.start();
    QString outcome = QStringLiteral("decoded");
    try {
        if (args[1] == QStringLiteral("decoder")) {
            tk::jpeg::Pixels pixels;
            std::string refused;
            if (tk::jpeg::decode(file.toStdString(), 8, never, pixels, &refused) !=
                tk::jpeg::Outcome::Decoded)
                outcome = QString::fromStdString(refused.empty() ? "failed" : refused);
        } else if (args[1] == QStringLiteral("game")) {
            tk::EarlyDecode early(file.toStdString(), drawnWidth);
            tk::PictureFile::open(file).decode(drawnWidth, &early);
        } else {
            const tk::PictureFile opened = tk::PictureFile::open(file);
            std::printf("click: %.1f ms\n", double(clock.nsecsElapsed()) / 1e6);
            opened.pixels(drawnWidth, nullptr, never, true);
        }
    } catch (const tk::RuntimeError& error) {
        outcome = error.message();
    }
    std::printf("%s %s: %.1f ms, %s\n", qPrintable(args[1]), qPrintable(file),
                double(clock.nsecsElapsed()) / 1e6, qUtf8Printable(outcome));
    return 0;
}
