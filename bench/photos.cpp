#include "photos.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <vector>

namespace bench {

namespace {

// A small, fast generator: the pictures must be the same on every run, not random.
class XorShift {
public:
    explicit XorShift(quint32 seed) : state(seed ? seed : 1) {}
    quint32 next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float unit() { return float(next() & 0xFFFF) / 32768.0f - 1.0f; } // -1 .. 1

private:
    quint32 state;
};

// Smooth random values on a grid of cells `cell` pixels wide, read between grid points.
class ValueNoise {
public:
    ValueNoise(QSize size, int cell, XorShift& random)
        : cell(cell), columns(size.width() / cell + 2),
          values(std::size_t(columns) * std::size_t(size.height() / cell + 2)) {
        for (float& v : values)
            v = random.unit();
    }
    // The two grid rows around y and the weight of the lower one.
    void row(int y, const float*& upper, const float*& lower, float& weight) const {
        const int gy = y / cell;
        upper = &values[std::size_t(gy) * std::size_t(columns)];
        lower = upper + columns;
        weight = float(y % cell) / float(cell);
    }
    float at(int x, const float* upper, const float* lower, float weight) const {
        const int gx = x / cell;
        const float fx = float(x % cell) / float(cell);
        const float top = upper[gx] + (upper[gx + 1] - upper[gx]) * fx;
        const float bottom = lower[gx] + (lower[gx + 1] - lower[gx]) * fx;
        return top + (bottom - top) * weight;
    }

private:
    int cell;
    int columns;
    std::vector<float> values;
};

int clamp8(float v) {
    return std::clamp(int(v), 0, 255);
}

} // namespace

QList<Input> inputs() {
    return {
        {QStringLiteral("bild-400x300.bmp"), QSize(400, 300), "BMP",
         QStringLiteral("BMP 400 x 300")},
        {QStringLiteral("foto-12mp.jpg"), QSize(4000, 3000), "JPEG", QStringLiteral("JPEG 12 MP")},
        {QStringLiteral("foto-24mp.jpg"), QSize(6000, 4000), "JPEG", QStringLiteral("JPEG 24 MP")},
        {QStringLiteral("foto-50mp.jpg"), QSize(8688, 5792), "JPEG", QStringLiteral("JPEG 50 MP")},
        {QStringLiteral("foto-progressiv-24mp.jpg"), QSize(6000, 4000), "JPEG",
         QStringLiteral("JPEG 24 MP progressive"), true},
    };
}

QImage cameraPhoto(QSize size, quint32 seed) {
    XorShift random(seed);
    // Detail on every scale from a fifth of the picture down to two pixels, finer detail weaker,
    // as in a landscape photo.
    const int shortSide = std::min(size.width(), size.height());
    struct Octave {
        ValueNoise noise;
        float amplitude;
    };
    std::vector<Octave> octaves;
    float amplitude = 40;
    for (int cell = std::max(8, shortSide / 5); cell >= 2; cell /= 2) {
        octaves.push_back({ValueNoise(size, cell, random), amplitude});
        amplitude *= 0.85f;
    }
    const ValueNoise tint(size, std::max(8, shortSide / 3), random);

    QImage image(size, QImage::Format_RGB32);
    const float horizon = 0.4f * float(size.height());
    for (int y = 0; y < size.height(); ++y) {
        std::vector<std::array<const float*, 2>> rows(octaves.size());
        std::vector<float> weights(octaves.size());
        for (std::size_t o = 0; o < octaves.size(); ++o)
            octaves[o].noise.row(y, rows[o][0], rows[o][1], weights[o]);
        const float* tintUpper;
        const float* tintLower;
        float tintWeight;
        tint.row(y, tintUpper, tintLower, tintWeight);
        const bool sky = float(y) < horizon;
        const float depth =
            sky ? float(y) / horizon : (float(y) - horizon) / (size.height() - horizon);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            float detail = 0;
            for (std::size_t o = 0; o < octaves.size(); ++o)
                detail += octaves[o].amplitude *
                          octaves[o].noise.at(x, rows[o][0], rows[o][1], weights[o]);
            const float hue = 30 * tint.at(x, tintUpper, tintLower, tintWeight);
            // Sensor noise: a few levels on every channel.
            const float grain = float(int(random.next() % 17) - 8);
            if (sky) {
                detail *= 0.35f;
                line[x] = qRgb(clamp8(90 + 60 * depth + detail + grain),
                               clamp8(140 + 40 * depth + detail + grain),
                               clamp8(210 - 20 * depth + detail + hue + grain));
            } else {
                line[x] = qRgb(clamp8(110 - 30 * depth + detail + hue + grain),
                               clamp8(120 - 20 * depth + detail + grain),
                               clamp8(60 - 10 * depth + detail - hue + grain));
            }
        }
    }
    return image;
}

void writeInputs(const QString& folder) {
    QDir().mkpath(folder);
    quint32 seed = 1;
    for (const Input& input : inputs()) {
        const QString path = QDir(folder).filePath(input.fileName);
        ++seed;
        if (QFileInfo::exists(path))
            continue;
        // Written whole or not at all, so that an interrupted run leaves no half picture behind.
        QSaveFile file(path);
        QImageWriter writer(&file, input.format);
        writer.setQuality(90); // a camera's "fine" setting
        writer.setProgressiveScanWrite(input.progressive);
        if (!file.open(QIODevice::WriteOnly) || !writer.write(cameraPhoto(input.size, seed)) ||
            !file.commit()) {
            std::fprintf(stderr, "Kunde inte skriva %s: %s\n", qPrintable(path),
                         qPrintable(writer.errorString()));
            std::exit(1);
        }
    }
}

} // namespace bench
