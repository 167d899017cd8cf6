#include "common/storlek.h"
#include "formparts.h"
#include "game/form1.h"
#include "support/testsupport.h"
#include "toolkit/runtimeerror.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWidget>

using namespace testsupport;
using bitvik::Form1;

namespace {

// A game started in a scratch folder holding bitvik.ini and a picture.
struct Game {
    RecordingProgram recorder;
    std::unique_ptr<Form1> form;

    Game() : form(std::make_unique<Form1>(recorder.program)) { form->loadAndShow(); }
    bool started() const { return recorder.reports.isEmpty() && form->isVisible(); }
    QString report() const { return recorder.reports.value(0); }
};

void startWith(int cols, int rows, int width, int height) {
    savePicture(gridPicture(width, height, cols, rows), QStringLiteral("bild.bmp"));
    writeSettings(cols, rows, "bild.bmp");
}

} // namespace

class TestGameStartup : public QObject {
    Q_OBJECT

private slots:
    void workedExample() {
        ScratchFolder folder;
        startWith(4, 3, 400, 300); // 6000 x 4500 twips
        Game game;
        QVERIFY2(game.started(), qPrintable(game.report()));
        Form1& f = *game.form;
        QCOMPARE(f.Image1.width(), 4455.0f);
        QCOMPARE(f.Image1.height(), 4500.0f);
        QCOMPARE(f.Image1.left(), 4972.0f);
        QCOMPARE(f.Image1.top(), 70.0f);
        const float columns[] = {172, 1286, 2400, 3514};
        const float rowTops[] = {70, 1570, 3070};
        for (int k = 0; k < 12; ++k) {
            QCOMPARE(f.Image3(k).left(), columns[k % 4]);
            QCOMPARE(f.Image3(k).top(), rowTops[k / 4]);
            QCOMPARE(f.Image3(k).width(), 1115.75f);
            QCOMPARE(f.Image3(k).height(), 1500.0f);
            QCOMPARE(f.Image2(k).left(), 4800 + columns[k % 4]);
            QCOMPARE(f.Image2(k).top(), rowTops[k / 4]);
            QCOMPARE(f.Image2(k).width(), 1115.75f);
            QCOMPARE(f.Image2(k).height(), 1500.0f);
            QVERIFY(f.Image2(k).visible() && f.Image3(k).visible());
        }
        QCOMPARE(f.Image2(11).left() + f.Image2(11).width(), 9429.75f);
        QCOMPARE(f.Shape1.width(), 1015.75f);
        QCOMPARE(f.Shape1.height(), 1400.0f);
        QVERIFY(!f.Shape1.visible());
        QCOMPARE(f.BITVIK.cursorX.value(), 172);
        QCOMPARE(f.BITVIK.cursorY.value(), 70);
        QCOMPARE(f.BITVIK.pieceCount.value(), 12);
        QCOMPARE(f.BITVIK.lastCell.value(), 11);
        QCOMPARE(f.BITVIK.selectedPiece.value(), -1);
        QCOMPARE(f.BITVIK.placedCount.value(), 0);
        QCOMPARE(f.BITVIK.pictureHidden.value(), 1);
        QCOMPARE(f.BITVIK.fileName, QStringLiteral("bild.bmp"));
        QVERIFY(!f.Image3.contains(12));
        QVERIFY(f.Form2 && f.Form2->isVisible());
    }

    void trayShowsThePictureInOrderBehindWhiteCovers() {
        ScratchFolder folder;
        startWith(4, 3, 400, 300);
        Game game;
        Form1& f = *game.form;
        QCOMPARE(tk::layerOf(f).position(f.Image1), 0);
        const QImage shot = f.widget()->grab().toImage();
        for (int k = 0; k < 12; ++k) {
            QVERIFY(f.Image3(k).picture() == f.PicClip1.cell(k));
            const QRectF piece = f.Image3(k).rect();
            const QPoint centre = (piece.center() / 15).toPoint();
            QCOMPARE(shot.pixelColor(centre), cellColour(k));
            const QPoint coverCentre = (f.Image2(k).rect().center() / 15).toPoint();
            QCOMPARE(shot.pixelColor(coverCentre), QColor(Qt::white));
        }
        QCOMPARE(shot.pixelColor(5, 5), QColor(255, 255, 128));
    }

    void grids_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<float>("pieceWidth");
        QTest::newRow("1 x 1") << 1 << 1 << 4463.0f;
        QTest::newRow("7 x 7") << 7 << 7 << 4463.0f / 7;
        QTest::newRow("9 x 8, more than the setup tool writes") << 9 << 8 << 4463.0f / 9;
    }
    void grids() {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(float, pieceWidth);
        ScratchFolder folder;
        startWith(cols, rows, 300, 210);
        Game game;
        QVERIFY2(game.started(), qPrintable(game.report()));
        Form1& f = *game.form;
        const int cells = cols * rows;
        QCOMPARE(f.BITVIK.pieceCount.value(), cells);
        QCOMPARE(f.BITVIK.lastCell.value(), cells - 1);
        QCOMPARE(f.Image3.count(), cells);
        QCOMPARE(f.Image2.count(), cells);
        QCOMPARE(f.Image3(cells - 1).width(), pieceWidth);
        QCOMPARE(f.Image3(cells - 1).height(), 3150.0f / rows);
        // The last row's top edge drifts from h / rows steps only by the rounding of each step.
        QVERIFY(qAbs(f.Image3(cells - 1).top() - (70 + 3150.0f / rows * (rows - 1))) <=
                rows * 0.5f);
    }

    void storlekFactor_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("scaledHeight");
        QTest::newRow("2227: factor 1, not a division by zero") << 2227 << 1000 << 1000;
        QTest::newRow("15 twips wide") << 15 << 30 << 30;
        QTest::newRow("2228: factor 1") << 2228 << 1000 << 1000;
        QTest::newRow("6682: factor 1") << 6682 << 1001 << 1001;
        QTest::newRow("6683: factor 2") << 6683 << 1001 << 500;
        QTest::newRow("9000 x 6750: factor 2") << 9000 << 6750 << 3375;
        QTest::newRow("halves round to even") << 9000 << 6751 << 3376;
        QTest::newRow("6000-pixel photo, 90000 twips: factor 20") << 90000 << 60000 << 3000;
    }
    void storlekFactor() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, scaledHeight);
        RecordingProgram recorder;
        tk::Form form(recorder.program, {});
        tk::Image image(form, {.bounds = {0, 0, float(width), float(height)}});
        common::Int32 w = width;
        common::Int32 h = height;
        common::storlek(image, w, h, common::roomAbove(Form1::buttonsTop, 70));
        QCOMPARE(w.value(), width);
        QCOMPARE(h.value(), scaledHeight);
        QVERIFY(image.stretch());
        QCOMPARE(image.width(), 4455.0f);
        QCOMPARE(image.height(), float(scaledHeight));
    }

    // An upright picture is shrunk whole to the 5790 twips from 70 down to 70 above the buttons.
    void tallPicturesFitAboveTheButtons_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<float>("shownWidth");
        QTest::addColumn<float>("shownHeight");
        for (const int n : {1, 3, 7}) {
            QTest::addRow("3:4, %d x %d", n, n)
                << n << n << QSize(300, 400) << 4299.075f << 5790.0f;
            QTest::addRow("9:16, %d x %d", n, n)
                << n << n << QSize(270, 480) << 3582.5625f << 5790.0f;
        }
        QTest::newRow("9:16 photo, factor 3")
            << 7 << 7 << QSize(900, 1600) << 3224.30625f << 5790.0f;
        QTest::newRow("tall and narrow") << 7 << 7 << QSize(150, 2000) << 859.815f << 5790.0f;
        QTest::newRow("just fits: unchanged") << 3 << 3 << QSize(297, 386) << 4455.0f << 5790.0f;
        QTest::newRow("a pixel taller") << 3 << 3 << QSize(297, 387) << 4443.4884f << 5790.0f;
    }
    void tallPicturesFitAboveTheButtons() {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(QSize, pixels);
        QFETCH(float, shownWidth);
        QFETCH(float, shownHeight);
        ScratchFolder folder;
        startWith(cols, rows, pixels.width(), pixels.height());
        Game game;
        QVERIFY2(game.started(), qPrintable(game.report()));
        Form1& f = *game.form;
        QCOMPARE(f.Image1.width(), shownWidth);
        QCOMPARE(f.Image1.height(), shownHeight);
        // Tray and board each centred in their half of the window (4800 of the outer width
        // 9600 at load time), the board over the picture.
        const float x0 = f.Image3(0).left();
        QCOMPARE(f.Image2(0).left(), 4800 + x0);
        QCOMPARE(f.Image1.left(), f.Image2(0).left());
        QVERIFY(qAbs(x0 + shownWidth / 2 - 2400) <= 0.5f);
        const QRectF room(0, 70, f.clientWidth(), Form1::buttonsTop - 70);
        for (int k = 0; k < cols * rows; ++k) {
            for (const tk::Image* cell : {&f.Image3(k), &f.Image2(k)})
                QVERIFY2(room.contains(cell->rect()), qPrintable(QStringLiteral("cell %1").arg(k)));
        }
    }

    void smallAndLargePicturesBuild_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<float>("shownHeight");
        QTest::newRow("100 pixels wide") << 100 << 80 << 1200.0f;
        QTest::newRow("148 pixels wide") << 148 << 100 << 1500.0f;
        QTest::newRow("3000 x 2000 photo") << 3000 << 2000 << 3000.0f;
    }
    void smallAndLargePicturesBuild() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(float, shownHeight);
        ScratchFolder folder;
        startWith(3, 2, width, height);
        Game game;
        QVERIFY2(game.started(), qPrintable(game.report()));
        QCOMPARE(game.form->Image1.width(), 4455.0f);
        QCOMPARE(game.form->Image1.height(), shownHeight);
    }

    void designValuesBeforeLoad() {
        RecordingProgram recorder;
        Form1 f(recorder.program);
        QVERIFY(!f.Shape1.visible());
        QVERIFY(!f.Image4.visible());
        QVERIFY(f.Image4.picture().isNull());
        QVERIFY(!f.Form2);
        QCOMPARE(f.Command3D3.caption(), QStringLiteral("Blanda"));
        QCOMPARE(f.Command3D1.caption(), QStringLiteral("Se bild"));
        QCOMPARE(f.Command3D2.caption(), QStringLiteral("Sluta"));
        QCOMPARE(f.Command3D1.widget()->geometry(), QRect(400, 395, 120, 60));
        QCOMPARE(f.Command3D2.widget()->geometry(), QRect(519, 395, 116, 60));
        QCOMPARE(f.widget()->size(), QSize(634, 455));
        QCOMPARE(f.widget()->windowTitle(), QStringLiteral("Bitvik"));
        QVERIFY(!f.Picture1.visible() && !f.Picture2(0).visible() && !f.Picture3(0).visible() &&
                !f.Picture4.visible());
    }

    void focusAndTabOrder() {
        ScratchFolder folder;
        startWith(2, 2, 400, 300);
        Game game;
        Form1& f = *game.form;
        f.widget()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.widget()));
        QCOMPARE(QApplication::focusWidget(), f.Command3D1.widget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.Command3D2.widget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.Command3D3.widget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.Command3D1.widget());
    }

    void unloadRemovesTheBackdrop() {
        ScratchFolder folder;
        startWith(2, 2, 400, 300);
        Game game;
        QVERIFY(game.form->Form2);
        game.form->close();
        QVERIFY(!game.form->Form2);
        QVERIFY(!game.form->isVisible());
        QVERIFY(game.recorder.endings.isEmpty());
    }
};

QTEST_MAIN(TestGameStartup)
#include "test_gamestartup.moc"
