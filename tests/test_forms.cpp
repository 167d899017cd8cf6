// The forms toolkit: windows that paint their lightweight controls, stacking and clicks, control
// arrays, borders at any pixel ratio.

#include "formparts.h"
#include "forms/controlarray.h"
#include "forms/form.h"
#include "forms/image.h"
#include "forms/shape.h"
#include "support/clicks.h"
#include "support/testsupport.h"

#include <QPainter>
#include <QTest>
#include <QWidget>

using namespace testsupport;

namespace {

tk::Picture filled(int width, int height, QColor colour) {
    return pictureOf(testsupport::filled(QSize(width, height), colour));
}

// A stretched picture of one colour in a single border.
tk::ImageDesign bordered(tk::Bounds bounds, tk::Appearance appearance, QColor colour) {
    return {.bounds = bounds,
            .stretch = true,
            .borderStyle = tk::BorderStyle::FixedSingle,
            .appearance = appearance,
            .picture = filled(3, 3, colour)};
}

struct Board {
    RecordingProgram recorder;
    tk::Form form{recorder.program, {.clientWidth = 3000, .clientHeight = 3000}};
};

} // namespace

class TestForms : public QObject {
    Q_OBJECT

private slots:
    void pictureIdentityAndNaturalSize() {
        const tk::Picture a = filled(40, 30, Qt::red);
        const tk::Picture copy = a;
        QCOMPARE(imageSizeOf(a), QSizeF(600, 450));
        QVERIFY(copy == a);
        QVERIFY(!(filled(40, 30, Qt::red) == a));
        QVERIFY(tk::Picture().isNull());
        QVERIFY(!(tk::Picture() == a));
    }

    void clickGoesToTheTopmostVisibleImage() {
        Board b;
        QList<QString> clicks;
        tk::Shape outline(b.form, {.bounds = {0, 0, 3000, 3000}, .borderWidth = 6});
        tk::Image upper(b.form, {.bounds = {0, 0, 1500, 1500}});
        tk::Image lower(b.form, {.bounds = {750, 750, 1500, 1500}});
        upper.setClickHandler([&] { clicks << "upper"; });
        lower.setClickHandler([&] { clicks << "lower"; });
        const auto clickAt = [&](int x, int y) { click(b.form.widget(), QPoint(x, y)); };
        clickAt(60, 60); // both overlap here; the outline above takes no click
        clickAt(140, 140);
        lower.zOrder(0);
        clickAt(60, 60);
        upper.setVisible(false);
        clickAt(20, 20);
        clickAt(100, 100);
        QCOMPARE(clicks, (QList<QString>{"upper", "lower", "lower", "lower"}));
        QVERIFY(b.recorder.reports.isEmpty());
    }

    void pressAndReleaseOverOneControl() {
        Board b;
        int clicks = 0;
        tk::Image left(b.form, {.bounds = {0, 0, 1500, 1500}});
        tk::Image right(b.form, {.bounds = {1500, 0, 1500, 1500}});
        left.setClickHandler([&] { ++clicks; });
        QTest::mousePress(b.form.widget(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(b.form.widget(), Qt::LeftButton, {}, QPoint(150, 10));
        click(b.form.widget(), QPoint(10, 10), Qt::RightButton);
        QCOMPARE(clicks, 0);
        click(b.form.widget(), QPoint(99, 99));
        QCOMPARE(clicks, 1);
    }

    void loadedElementsCopyElementZeroAndStackWithTheirArray() {
        Board b;
        tk::Shape outline(b.form, {.bounds = {0, 0, 100, 100}});
        const tk::Picture cover = filled(7, 8, Qt::white);
        tk::ControlArray<tk::Image> covers(
            QStringLiteral("Image2"),
            std::make_unique<tk::Image>(
                b.form,
                tk::ImageDesign{.bounds = {0, 0, 300, 300}, .stretch = true, .picture = cover}));
        tk::Image below(b.form, {.bounds = {0, 0, 3000, 3000}});
        covers(0).setPicture(filled(2, 2, Qt::red));
        covers(0).setLeft(900);
        covers.load(1);
        covers.load(2);
        QVERIFY(!covers(1).visible());
        QVERIFY(covers(1).picture() == cover);
        QVERIFY(covers(1).stretch());
        QCOMPARE(covers(1).left(), 0.0f);
        QCOMPARE(covers(1).width(), 300.0f);
        // Bottom first: below, element 0, 1, 2, then the outline created before them.
        QCOMPARE(tk::layerOf(b.form).position(below), 0);
        QCOMPARE(tk::layerOf(b.form).position(covers(0)), 1);
        QCOMPARE(tk::layerOf(b.form).position(covers(1)), 2);
        QCOMPARE(tk::layerOf(b.form).position(covers(2)), 3);
        QCOMPARE(tk::layerOf(b.form).position(outline), 4);
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, covers.load(1));
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, covers(3));

        QList<int> clicked;
        covers.setClickHandler([&](int index) { clicked << index; });
        covers(2).setVisible(true);
        covers(2).setLeft(1500);
        click(b.form.widget(), QPoint(105, 5));
        click(b.form.widget(), QPoint(61, 5));
        QCOMPARE(clicked, (QList<int>{2, 0}));
    }

    void stretchDecidesTheSize() {
        Board b;
        tk::Image image(b.form, {.bounds = {0, 0, 100, 100}});
        image.setPicture(filled(40, 30, Qt::red));
        QCOMPARE(image.width(), 600.0f);
        QCOMPARE(image.height(), 450.0f);
        image.setStretch(true);
        image.setPicture(filled(8, 8, Qt::red));
        QCOMPARE(image.width(), 600.0f);
    }

    void paintsStretchedPicturesWithBorders() {
        Board b;
        tk::Image flat(b.form, bordered({150, 150, 1500, 750}, tk::Appearance::Flat, Qt::red));
        tk::Image sunken(b.form,
                         bordered({150, 1500, 1500, 750}, tk::Appearance::ThreeD, Qt::white));
        tk::Shape outline(
            b.form,
            {.bounds = {1800, 150, 900, 900}, .borderColor = tk::rgb(255, 0, 0), .borderWidth = 6});
        const QImage shot = b.form.widget()->grab().toImage();
        QCOMPARE(shot.pixelColor(10, 10), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(11, 11), QColor(Qt::red));
        QCOMPARE(shot.pixelColor(109, 59), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(108, 58), QColor(Qt::red));
        QCOMPARE(shot.pixelColor(10, 100), QColor(128, 128, 128));
        QCOMPARE(shot.pixelColor(11, 101), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(60, 120), QColor(Qt::white));
        QCOMPARE(shot.pixelColor(120, 10), QColor(Qt::red));
        QCOMPARE(shot.pixelColor(125, 15), QColor(Qt::red));
        QVERIFY(shot.pixelColor(126, 16) != QColor(Qt::red)); // the interior is transparent
    }

    void sunkenBorderMeetsThePictureAtAnyRatio_data() {
        QTest::addColumn<qreal>("ratio");
        for (qreal ratio : {1.0, 1.25, 1.5, 2.0, 2.5})
            QTest::addRow("%g", ratio) << ratio;
    }
    void sunkenBorderMeetsThePictureAtAnyRatio() {
        QFETCH(qreal, ratio);
        Board b;
        tk::Image sunken(b.form, bordered({150, 150, 1500, 750}, tk::Appearance::ThreeD, Qt::red));
        QImage canvas(QSize(200, 200) * ratio, QImage::Format_RGB32);
        canvas.fill(Qt::blue);
        QPainter painter(&canvas);
        tk::layerOf(b.form).paint(painter, ratio);
        painter.end();
        // Across the middle: two rings of whole device pixels on each side, then the picture,
        // with no pixel of what lies below showing between them and no ring painted over it.
        const int y = int(40 * ratio);
        const int line = std::max(1, int(std::lround(ratio)));
        int left = 0;
        while (canvas.pixelColor(left, y) == QColor(Qt::blue))
            ++left;
        int right = canvas.width() - 1;
        while (canvas.pixelColor(right, y) == QColor(Qt::blue))
            --right;
        const QList<QColor> leftward{QColor(128, 128, 128), Qt::black, Qt::red};
        const QList<QColor> rightward{Qt::white, QColor(192, 192, 192), Qt::red};
        for (int i = 0; i < 3 * line; ++i) {
            QCOMPARE(canvas.pixelColor(left + i, y), leftward[i / line]);
            QCOMPARE(canvas.pixelColor(right - i, y), rightward[i / line]);
        }
    }
};

QTEST_MAIN(TestForms)
#include "test_forms.moc"
