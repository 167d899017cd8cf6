#include "common/storlek.h"
#include "controlwidgets.h"
#include "formparts.h"
#include "runtime/runtimeerror.h"
#include "support/startedgame.h"
#include "support/storlektable.h"

#include <QAbstractButton>
#include <QDir>
#include <QTest>
#include <QWidget>

using namespace testsupport;
using bitvik::Form1;

class TestGameStartup : public QObject {
    Q_OBJECT

private slots:
    void workedExample() {
        const StartedGame game(4, 3); // 6000 x 4500 twips
        QVERIFY2(game.started(), qPrintable(game.recorder.report()));
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
        const StartedGame game(4, 3);
        Form1& f = *game.form;
        QCOMPARE(tk::layerOf(f).position(f.Image1), 0);
        const QImage shot = f.widget()->grab().toImage();
        for (int k = 0; k < 12; ++k) {
            QVERIFY(f.Image3(k).picture() == f.PicClip1.cell(k));
            QCOMPARE(shownAt(shot, f.Image3(k)), cellColour(k));
            QCOMPARE(shownAt(shot, f.Image2(k)), QColor(Qt::white));
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
        const StartedGame game(cols, rows, 300, 210);
        QVERIFY2(game.started(), qPrintable(game.recorder.report()));
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

    // The worked examples in twips, and widths between whole pixels either side of the factors'
    // bounds.
    void storlekFactor_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("room");
        QTest::addColumn<QSizeF>("shown");
        for (const StorlekExample& e : storlekExamples()) {
            const QSize twips = e.pixels * 15;
            QTest::addRow("%s, game", e.name)
                << twips.width() << twips.height() << gameRoom << e.inGame;
            QTest::addRow("%s, tool", e.name)
                << twips.width() << twips.height() << setupRoom << e.inSetup;
        }
        QTest::newRow("2227: factor 1") << 2227 << 1000 << gameRoom << QSizeF(4455, 1000);
        QTest::newRow("2228: factor 1") << 2228 << 1000 << gameRoom << QSizeF(4455, 1000);
        QTest::newRow("6682: factor 1") << 6682 << 1001 << gameRoom << QSizeF(4455, 1001);
        QTest::newRow("6683: factor 2") << 6683 << 1001 << gameRoom << QSizeF(4455, 500);
        QTest::newRow("90000 x 60000: factor 20, heights past 16 bits")
            << 90000 << 60000 << gameRoom << QSizeF(4455, 3000);
    }
    void storlekFactor() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, room);
        QFETCH(QSizeF, shown);
        RecordingProgram recorder;
        tk::Form form(recorder.program, {});
        tk::Image image(form, {.bounds = {0, 0, float(width), float(height)}});
        common::Int32 w = width;
        common::Int32 h = height;
        common::storlek(image, w, h, room);
        QCOMPARE(w.value(), width);
        QCOMPARE(h.value(), int(shown.height()));
        QVERIFY(image.stretch());
        QCOMPARE(image.width(), float(shown.width()));
        QCOMPARE(image.height(), float(shown.height()));
    }

    // Shrunk or not, tray and board each stand centred in their half of the window (4800 of the
    // outer width 9600 at load time), the board over the picture, every cell above the buttons.
    void pictureShownAtItsSize_data() {
        QTest::addColumn<int>("cells"); // across and down
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QSizeF>("shown");
        for (const StorlekExample& e : storlekExamples()) {
            for (const int n : {1, 3, 7})
                QTest::addRow("%s, %d x %d", e.name, n, n) << n << e.pixels << e.inGame;
        }
    }
    void pictureShownAtItsSize() {
        QFETCH(int, cells);
        QFETCH(QSize, pixels);
        QFETCH(QSizeF, shown);
        const StartedGame game(cells, cells, pixels.width(), pixels.height());
        QVERIFY2(game.started(), qPrintable(game.recorder.report()));
        const Form1& f = *game.form;
        QCOMPARE(f.Image1.width(), float(shown.width()));
        QCOMPARE(f.Image1.height(), float(shown.height()));
        const float x0 = f.Image3(0).left();
        QCOMPARE(f.Image2(0).left(), 4800 + x0);
        QCOMPARE(f.Image1.left(), f.Image2(0).left());
        QVERIFY(qAbs(x0 + f.Image1.width() / 2 - 2400) <= 0.5f);
        const QRectF room(0, 70, f.clientWidth(), Form1::buttonsTop - 70);
        for (int k = 0; k < cells * cells; ++k) {
            for (const tk::Image* cell : {&f.Image3(k), &f.Image2(k)})
                QVERIFY2(room.contains(cell->rect()), qPrintable(QStringLiteral("cell %1").arg(k)));
        }
    }

    void designValuesBeforeLoad() {
        RecordingProgram recorder;
        Form1 f(recorder.program);
        QVERIFY(!f.Shape1.visible());
        QVERIFY(!f.Image4.visible());
        QVERIFY(f.Image4.picture().isNull());
        QVERIFY(!f.Form2);
        for (const DesignRow& row : design(QStringLiteral("game"))) {
            const DesignedControl control = designed(f, row.control);
            QCOMPARE(control.caption, *row.caption);
            // The window's rectangle is its client area, wherever the window stands.
            const QRect shown =
                row.control == u"Form1" ? control.widget->rect() : control.widget->geometry();
            QCOMPARE(shown, designPixels(row.twips));
        }
        QVERIFY(!f.Picture1.visible() && !f.Picture2(0).visible() && !f.Picture3(0).visible() &&
                !f.Picture4.visible());
    }

    void unloadRemovesTheBackdrop() {
        const StartedGame game(2, 2);
        QVERIFY(game.form->Form2);
        game.form->close();
        QVERIFY(!game.form->Form2);
        QVERIFY(!game.form->isVisible());
        QVERIFY(game.recorder.endings.isEmpty());
    }
};

QTEST_MAIN(TestGameStartup)
#include "test_gamestartup.moc"
