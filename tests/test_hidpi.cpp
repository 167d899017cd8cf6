// Both windows at a device pixel ratio of 2: twice as large on the screen, laid out in the same
// twips, with bitmaps drawn at the screen's resolution and lines on whole device pixels.

#include "common/programicon.h"
#include "controlwidgets.h"
#include "game/bitmaps.h"
#include "support/startedgame.h"
#include "support/startedsetup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;

namespace {

constexpr int ratio = 2;

QImage grabbed(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Where `part` stands pixel for pixel inside `whole`, or a null point.
std::optional<QPoint> find(const QImage& whole, const QImage& part) {
    for (int y = 0; y + part.height() <= whole.height(); ++y) {
        for (int x = 0; x + part.width() <= whole.width(); ++x) {
            bool same = true;
            for (int py = 0; py < part.height() && same; ++py) {
                for (int px = 0; px < part.width() && same; ++px)
                    same = whole.pixel(x + px, y + py) == part.pixel(px, py);
            }
            if (same)
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}

bool black(const QImage& image, int x, int y) {
    return image.pixelColor(x, y) == QColor(Qt::black);
}

} // namespace

class TestHiDpi : public QObject {
    Q_OBJECT

private slots:
    void gameWindowTwiceAsLargeInTheSameTwips() {
        StartedGame game(4, 3);
        bitvik::Form1& f = *game.form;
        QVERIFY2(game.started(), qPrintable(game.recorder.report()));
        QCOMPARE(f.widget()->devicePixelRatioF(), qreal(ratio));
        QCOMPARE(f.widget()->size(), QSize(634, 455));
        QCOMPARE(grabbed(f.widget()).size(), QSize(634, 455) * ratio);
        // The board is laid out from the outer width in twips, not from device pixels.
        QCOMPARE(f.Image3(0).rect(), QRectF(172, 70, 1115.75, 1500));
        QCOMPARE(f.Image3(11).rect(), QRectF(172 + 3 * 1114, 70 + 2 * 1500, 1115.75, 1500));
        QCOMPARE(f.Image2(0).rect(), QRectF(4800 + 172, 70, 1115.75, 1500));
        QCOMPARE(f.Image1.rect(), QRectF(4800 + 172, 70, 4455, 4500));
        QCOMPARE(widgetOf(f.Command3D2)->geometry(), QRect(519, 395, 116, 60));
    }

    void setupWindowTwiceAsLargeInTheSameTwips() {
        const StartedSetup tool;
        tralloma::Form1& f = *tool.form;
        QCOMPARE(grabbed(f.widget()).size(), QSize(632, 453) * ratio);
        QCOMPARE(widgetOf(f.File1)->geometry(), QRect(184, 64, 136, 362));
        QCOMPARE(widgetOf(f.Command1)->geometry(), QRect(433, 380, 89, 73));
        QCOMPARE(widgetOf(f.Option1(6))->geometry(), QRect(8, 176, 55, 18));
        QCOMPARE(f.Image1.rect(), QRectF(4920, 360, 4455, 3000));
    }

    // A bitmap scaled up from its design size would not match its drawing at twice the size.
    void buttonBitmapsAtDeviceResolution() {
        StartedGame game(2, 2);
        bitvik::Form1& f = *game.form;
        const QList<std::pair<QAbstractButton*, tk::Picture>> buttons{
            {widgetOf(f.Command3D3), bitvik::shuffleBitmap()},
            {widgetOf(f.Command3D1), bitvik::eyeBitmap()},
            {widgetOf(f.Command3D2), bitvik::stopBitmap()}};
        for (const auto& [button, bitmap] : buttons) {
            const QImage drawn =
                bitmap.render(bitmap.pixelSize() * ratio).convertToFormat(QImage::Format_RGB32);
            QVERIFY2(find(grabbed(button), drawn), qPrintable(button->text()));
        }
    }

    void buttonBevelOnWholeDevicePixels() {
        StartedGame game(2, 2);
        bitvik::Form1& f = *game.form;
        const QImage shot = grabbed(widgetOf(f.Command3D3));
        const int right = shot.width() - 1;
        const int bottom = shot.height() - 1;
        const QColor shadow(128, 128, 128);
        for (int d = 0; d < ratio; ++d) {
            // The black outline, then two lines of light at the top left, of shadow at the
            // bottom right, each as many device pixels wide as the ratio.
            QVERIFY(black(shot, d, 60) && black(shot, right - d, 60));
            QVERIFY(black(shot, 100, d) && black(shot, 100, bottom - d));
            for (int line = 0; line < 2; ++line) {
                const int in = ratio * (1 + line) + d;
                QCOMPARE(shot.pixelColor(in, 60), QColor(Qt::white));
                QCOMPARE(shot.pixelColor(100, in), QColor(Qt::white));
                QCOMPARE(shot.pixelColor(right - in, 60), shadow);
                QCOMPARE(shot.pixelColor(100, bottom - in), shadow);
            }
        }
        QVERIFY(shot.pixelColor(3 * ratio, 60) != QColor(Qt::white));
    }

    void boxLinesOnWholeDevicePixels() {
        const StartedSetup tool;
        tralloma::Form1& f = *tool.form;
        for (QWidget* box : QList<QWidget*>{widgetOf(f.Text1), widgetOf(f.Frame2)}) {
            const QImage shot = grabbed(box);
            const int right = shot.width() - 1;
            const int bottom = shot.height() - 1;
            const int middle = shot.height() / 2;
            for (int d = 0; d < ratio; ++d) {
                QVERIFY(black(shot, d, middle) && black(shot, right - d, middle));
                QVERIFY(black(shot, 20 * ratio, bottom - d));
            }
            QVERIFY(!black(shot, ratio, middle) && !black(shot, right - ratio, middle));
            QVERIFY(!black(shot, 20 * ratio, bottom - ratio));
        }
    }

    void iconAtDoubleResolution() {
        const QIcon icon = common::programIcon();
        for (const int side : {16, 32, 48}) {
            const QPixmap pixmap = icon.pixmap(QSize(side, side), qreal(ratio));
            QCOMPARE(pixmap.size(), QSize(side, side) * ratio);
            QCOMPARE(pixmap.devicePixelRatio(), qreal(ratio));
        }
    }
};

int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", QByteArray::number(ratio));
    QApplication application(argc, argv);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"
