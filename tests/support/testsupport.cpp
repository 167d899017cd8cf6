#include "testsupport.h"

#include "settingsbytes.h"
#include "thumbnailname.h"

#include "common/storlek.h"
#include "forms/form.h"
#include "forms/image.h"
#include "pictures/picture.h"
#include "pictures/picturefile.h"
#include "runtime/leftovers.h"
#include "runtime/runtimeerror.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

ScratchFolder::ScratchFolder()
    : previous(QDir::currentPath()), previousCache(qgetenv("XDG_CACHE_HOME")) {
    QVERIFY2(dir.isValid() && cacheDir.isValid(), "no temporary folder");
    QDir::setCurrent(dir.path());
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheDir.path()));
}

ScratchFolder::~ScratchFolder() {
    QDir::setCurrent(previous);
    qputenv("XDG_CACHE_HOME", previousCache);
    // Qt's removal does not see names that are not UTF-8, and would leave the folder behind.
    if (DIR* folder = ::opendir(QFile::encodeName(dir.path()).constData())) {
        while (const dirent* entry = ::readdir(folder)) {
            const QByteArray name(entry->d_name);
            if (QString::fromUtf8(name).toUtf8() != name)
                ::unlinkat(::dirfd(folder), entry->d_name, 0);
        }
        ::closedir(folder);
    }
}

RecordingProgram::RecordingProgram(const QString& name)
    : program(
          name, [this](const QString&, const QString& message) { reports << message; },
          [this](int status) { endings << status; }) {}

QByteArray readBytes(const QString& fileName) {
    if (!QFileInfo(fileName).isFile()) // a FIFO would wait for a writer
        return {};
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void writeBytesNamed(const QByteArray& rawName, const QByteArray& bytes) {
    FILE* file = std::fopen(rawName.constData(), "wb");
    QVERIFY(file);
    const std::size_t written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), file);
    QCOMPARE(std::fclose(file), 0);
    QCOMPARE(written, std::size_t(bytes.size()));
}

void makeAbandoned(const QString& fileName) {
    const timespec longAgo{std::time(nullptr) - tk::abandonedAfterSeconds - 60, 0};
    const timespec times[2] = {longAgo, longAgo};
    QCOMPARE(
        ::utimensat(AT_FDCWD, QFile::encodeName(fileName).constData(), times, AT_SYMLINK_NOFOLLOW),
        0);
}

// Read by the folder's own names: Qt 6.8's QDir lists nothing at all in a folder that holds a name
// that is not UTF-8. Such names are left out, as Qt 6.4 leaves them; the rest sorted as QDir sorts.
QStringList folderEntries() {
    QStringList names;
    if (DIR* folder = ::opendir(".")) {
        while (const dirent* entry = ::readdir(folder)) {
            const QByteArray raw(entry->d_name);
            const QString name = QString::fromUtf8(raw);
            if (raw != "." && raw != ".." && name.toUtf8() == raw)
                names << name;
        }
        ::closedir(folder);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.toLower().compare(b.toLower());
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

QString failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const tk::RuntimeError& error) {
        return error.message();
    }
    return {};
}

QColor cellColour(int index) {
    return QColor(QColor::fromHsv((index * 47) % 360, 200, 120 + (index * 37) % 130).rgb());
}

QImage gridPicture(int width, int height, int cols, int rows) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    // Pixel x lies in column x * cols / width, rounded down.
    const auto edge = [](int i, int size, int parts) {
        return int((qint64(i) * size + parts - 1) / parts);
    };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const QPoint from(edge(c, width, cols), edge(r, height, rows));
            const QPoint to(edge(c + 1, width, cols), edge(r + 1, height, rows));
            painter.fillRect(QRect(from, to - QPoint(1, 1)), cellColour(r * cols + c));
        }
    }
    return image;
}

QImage filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool near(QColor a, QColor b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

QColor shownAt(const QImage& shot, const tk::Image& control) {
    return shot.pixelColor((control.rect().center() / tk::twipsPerPixel).toPoint());
}

void savePicture(const QImage& image, const QString& fileName, const char* format) {
    QVERIFY2(image.save(fileName, format), qPrintable(fileName));
}

QByteArray encoded(const QImage& image, const char* format, int quality, bool progressive) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

namespace {

// Entropy-coded data never holds FF DA or FF D9: stuffing and restart markers keep them out.
const QByteArray startOfScan("\xFF\xDA", 2);
const QByteArray endOfImage("\xFF\xD9", 2);

// The offset of the n-th marker of the kind (0xFFC0 frame, 0xFFDA scan), counted from 1.
int markerAt(const QByteArray& jpeg, uchar kind, int n) {
    for (int i = 2; i + 1 < jpeg.size(); ++i) {
        if (uchar(jpeg[i]) == 0xFF && uchar(jpeg[i + 1]) == kind && --n == 0)
            return i;
    }
    return -1;
}

} // namespace

QByteArray jpegWithScans(int scans, quint16 width, quint16 height) {
    const QByteArray jpeg = jpegClaiming(width, height);
    const qsizetype last = jpeg.lastIndexOf(startOfScan);
    const qsizetype end = jpeg.lastIndexOf(endOfImage);
    const int present = int(jpeg.count(startOfScan));
    if (last < 0 || end < last || scans < present)
        return {};
    return jpeg.left(end) + jpeg.mid(last, end - last).repeated(scans - present) + endOfImage;
}

QByteArray jpegClaiming(quint16 width, quint16 height, bool progressive) {
    QByteArray jpeg = encoded(gridPicture(64, 48, 2, 2), "JPEG", 90, progressive);
    const int frame = markerAt(jpeg, progressive ? 0xC2 : 0xC0, 1);
    if (frame < 0)
        return {};
    jpeg[frame + 5] = char(height >> 8);
    jpeg[frame + 6] = char(height & 0xFF);
    jpeg[frame + 7] = char(width >> 8);
    jpeg[frame + 8] = char(width & 0xFF);
    return jpeg;
}

QByteArray brokenScanJpeg() {
    QImage image(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x)
            image.setPixel(x, y, qRgb(x % 256, y, (x * y) % 256));
    }
    QByteArray bytes = encoded(image, "JPEG", 90, true);
    const int scan = markerAt(bytes, 0xDA, 3);
    const int components = uchar(bytes[scan + 4]);
    const int selection = scan + 5 + 2 * components;
    bytes[selection] = 0; // a progressive scan may not hold the DC and AC coefficients together
    bytes[selection + 1] = 63;
    return bytes;
}

QByteArray bmpClaiming(qint32 width, qint32 height) {
    QByteArray bytes = encoded(gridPicture(4, 4, 1, 1), "BMP");
    const auto put32 = [&bytes](int at, qint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char(quint32(v) >> (8 * i) & 0xFF);
    };
    put32(18, width);
    put32(22, height);
    return bytes;
}

QByteArray topDownBmp(const QImage& image) {
    QByteArray bytes = encoded(image.convertToFormat(QImage::Format_RGB888), "BMP");
    const auto get32 = [&bytes](int at) {
        return qFromLittleEndian<qint32>(bytes.constData() + at);
    };
    const qint32 offset = get32(10);
    const qint32 height = get32(22);
    const qsizetype stride = (qsizetype(image.width()) * 3 + 3) / 4 * 4;
    QByteArray rows;
    for (qint32 row = height - 1; row >= 0; --row)
        rows += bytes.mid(offset + row * stride, stride);
    qToLittleEndian<qint32>(-height, bytes.data() + 22);
    return bytes.left(offset) + rows;
}

QString thumbnailPath(const QString& fileName, int size) {
    const QString absolute = QFileInfo(fileName).absoluteFilePath();
    return QString::fromStdString(tk::thumbnails::pathOf(QFile::encodeName(absolute).toStdString(),
                                                         tk::thumbnails::sizes[size]));
}

tk::Picture loadPicture(const QString& fileName) {
    return tk::PictureFile::open(fileName).decode(common::previewPixels(1));
}

tk::Picture pictureOf(const QImage& pixels) {
    return tk::Picture::fromSource(tk::bitmapSource(pixels, pixels.size()));
}

QImage renderSettled(const tk::Picture& picture, QSize deviceSize, QRect shown) {
    if (shown.isNull())
        shown = QRect(QPoint(0, 0), deviceSize);
    picture.render(deviceSize, shown);
    QObject waiting;
    bool settled = false;
    if (picture.whenRefined(&waiting, [&] { settled = true; }) &&
        !QTest::qWaitFor([&] { return settled; }, 60000))
        return {};
    return picture.render(deviceSize, shown);
}

QSizeF imageSizeOf(const tk::Picture& picture) {
    RecordingProgram recorder;
    tk::Form form(recorder.program, {});
    tk::Image image(form, {});
    image.setPicture(picture);
    return QSizeF(image.width(), image.height());
}

QString loadFailure(const QString& fileName) {
    return failureOf([&] { loadPicture(fileName); });
}

void writeSettings(int cols, int rows, const QByteArray& name) {
    writeBytes(QStringLiteral("bitvik.ini"), settingsBytes(cols, rows, name));
}

} // namespace testsupport
