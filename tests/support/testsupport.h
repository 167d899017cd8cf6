#pragma once

#include "pictures/picture.h"
#include "runtime/program.h"

#include <functional>
#include <memory>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tk {
class Image;
}

namespace testsupport {

// A fresh temporary folder that is the current directory for the test's lifetime, and another
// that is the thumbnail cache's home.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    QString path() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }
    QString cache() const { return cacheDir.path(); }

private:
    QTemporaryDir dir;
    QTemporaryDir cacheDir;
    QString previous;
    QByteArray previousCache;
};

// A program whose error report and end are recorded instead of shown and performed.
struct RecordingProgram {
    explicit RecordingProgram(const QString& name = QStringLiteral("Bitvik"));
    QString report() const { return reports.value(0); }
    QStringList reports;
    QList<int> endings;
    tk::Program program;
};

QByteArray readBytes(const QString& fileName);
void writeBytes(const QString& fileName, const QByteArray& bytes);
// A file whose name in the folder is these bytes, valid UTF-8 or not.
void writeBytesNamed(const QByteArray& rawName, const QByteArray& bytes);
// Its last change set far enough back that a temporary file of ours counts as abandoned (of a
// link: the link's own).
void makeAbandoned(const QString& fileName);
// Every entry of the current folder, hidden and special ones too, by name.
QStringList folderEntries();
// The message of the run-time error the action ends with, or empty.
QString failureOf(const std::function<void()>& action);

// A picture whose every cell of a cols x rows grid has its own colour.
QImage gridPicture(int width, int height, int cols, int rows);
QColor cellColour(int index);
QImage filled(QSize size, QColor colour);
// Alike in every channel to within the tolerance, as a scaled or compressed pixel is.
bool near(QColor a, QColor b, int tolerance = 40);
// What a shot of the window shows in the middle of the control.
QColor shownAt(const QImage& shot, const tk::Image& control);
void savePicture(const QImage& image, const QString& fileName, const char* format = nullptr);
QByteArray encoded(const QImage& image, const char* format, int quality = 95,
                   bool progressive = false);
// A small JPEG whose frame header claims another size.
QByteArray jpegClaiming(quint16 width, quint16 height, bool progressive = true);
// A progressive 320 x 240 JPEG whose header reads well and whose third scan is broken.
QByteArray brokenScanJpeg();
// A progressive JPEG whose last scan is repeated until the file holds `scans` scans; claiming a
// larger size makes every scan walk that whole picture, as a scan bomb does.
QByteArray jpegWithScans(int scans, quint16 width = 64, quint16 height = 48);
// A small BMP whose header claims another size.
QByteArray bmpClaiming(qint32 width, qint32 height);
// The same picture as a BMP stored from its top row down, as screenshot and paint programs write.
QByteArray topDownBmp(const QImage& image);
// Where the shared thumbnail cache keeps the file's thumbnail (0: x-large, 1: xx-large).
QString thumbnailPath(const QString& fileName, int size = 0);
// Loaded as the programs load one, with its first decode fine enough for an unscaled preview.
tk::Picture loadPicture(const QString& fileName);
// The pixels as given, their size the natural one.
tk::Picture pictureOf(const QImage& pixels);
// The picture rendered once the finer pixels that rendering it asks for have been decoded (or
// have failed to be); a null image when they take longer than a test may wait.
QImage renderSettled(const tk::Picture& picture, QSize deviceSize, QRect shown = {});
// The size, in twips, that an image control without Stretch takes from the picture.
QSizeF imageSizeOf(const tk::Picture& picture);
// The message of the run-time error that loading the picture ends with, or empty.
QString loadFailure(const QString& fileName);
// bitvik.ini in the current folder, naming the picture (in Windows-1252).
void writeSettings(int cols, int rows, const QByteArray& name);

} // namespace testsupport
