#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTest>

namespace testsupport {

ScratchFolder::ScratchFolder() : previous(QDir::currentPath()) {
    QVERIFY2(dir.isValid(), "no temporary folder");
    QDir::setCurrent(dir.path());
}

ScratchFolder::~ScratchFolder() { QDir::setCurrent(previous); }

RecordingProgram::RecordingProgram(const QString& name)
    : program(
          name, [this](const QString&, const QString& message) { reports << message; },
          [this](int status) { endings << status; }) {}

QByteArray readBytes(const QString& fileName) {
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

QColor cellColour(int index) {
    return QColor(QColor::fromHsv((index * 47) % 360, 200, 120 + (index * 37) % 130).rgb());
}

QImage gridPicture(int width, int height, int cols, int rows) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const int r = int(qint64(y) * rows / height);
        for (int x = 0; x < width; ++x) {
            const int c = int(qint64(x) * cols / width);
            image.setPixelColor(x, y, cellColour(r * cols + c));
        }
    }
    return image;
}

void savePicture(const QImage& image, const QString& fileName, const char* format) {
    QVERIFY2(image.save(fileName, format), qPrintable(fileName));
}

void writeSettings(int cols, int rows, const QByteArray& name) {
    writeBytes(QStringLiteral("bitvik.ini"),
               QByteArray::number(cols) + "\r\n" + QByteArray::number(rows) + "\r\n\"" + name + "\"\r\n");
}

} // namespace testsupport
