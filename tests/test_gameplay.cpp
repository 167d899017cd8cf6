#include "controlwidgets.h"
#include "formparts.h"
#include "game/deal.h"
#include "support/clicks.h"
#include "support/questionbox.h"
#include "support/startedgame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTest>
#include <QWidget>
#include <set>

using namespace testsupport;
using bitvik::Form1;

namespace {

// A game on a grid picture whose cells have their own colours, with a timer that counts, so
// every run shuffles alike.
struct Game : StartedGame {
    Game(int cols, int rows, QSize pixels = QSize(400, 300))
        : StartedGame(cols, rows, pixels.width(), pixels.height(),
                      tk::Random([tick = std::uint64_t(0)]() mutable { return ++tick; })) {}

    Form1& f() { return *form; }
    int cells() { return f().BITVIK.pieceCount.value(); }

    // A point outside the window would take no click at all.
    void clickAt(QPointF twips) {
        const QPoint at = (twips / 15).toPoint();
        QVERIFY2(f().widget()->rect().contains(at), "outside the window");
        clickInWindow(f().widget(), at);
    }
    void clickPiece(int slot) { clickAt(f().Image3(slot).rect().center()); }
    void clickCover(int cell) { clickAt(f().Image2(cell).rect().center()); }
    void press(tk::PictureButton& button) { click(widgetOf(button)); }
    void shuffle() { press(f().Command3D3); }

    int slotShowing(int cell) {
        for (int s = 0; s < cells(); ++s) {
            if (f().Image3(s).picture() == f().PicClip1.cell(cell))
                return s;
        }
        return -1;
    }
    int placed() { return f().BITVIK.placedCount.value(); }
    int selected() { return f().BITVIK.selectedPiece.value(); }
};

// The application's style, while it lives, orders dialog buttons as a desktop does.
class DesktopButtonOrder {
public:
    explicit DesktopButtonOrder(int layout) : before(QApplication::style()->name()) {
        QApplication::setStyle(new Ordered(layout));
    }
    ~DesktopButtonOrder() { QApplication::setStyle(before); }

private:
    class Ordered final : public QProxyStyle {
    public:
        explicit Ordered(int layout)
            : QProxyStyle(QStyleFactory::create("Fusion")), layout(layout) {}
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* returned) const override {
            return hint == SH_DialogButtonLayout
                       ? layout
                       : QProxyStyle::styleHint(hint, option, widget, returned);
        }

    private:
        int layout;
    };
    QString before;
};

} // namespace

class TestGamePlay : public QObject {
    Q_OBJECT

private slots:
    void selectingMovesTheRectangle() {
        Game g(3, 3);
        for (const int slot : {4, 8}) {
            g.clickPiece(slot);
            const tk::Image& piece = g.f().Image3(slot);
            QCOMPARE(g.selected(), slot);
            QVERIFY(g.f().Shape1.visible());
            QCOMPARE(g.f().Shape1.left(), piece.left() + 50);
            QCOMPARE(g.f().Shape1.top(), piece.top() + 60);
            QVERIFY(g.f().Image4.picture() == piece.picture());
            QVERIFY(!g.f().Image4.visible());
        }
    }

    void wrongCoverChangesNothing() {
        Game g(3, 3);
        g.clickCover(2); // nothing selected yet
        QCOMPARE(g.placed(), 0);
        QVERIFY(g.f().Image2(2).visible());
        g.clickPiece(1);
        g.clickCover(2);
        g.clickCover(0);
        QCOMPARE(g.placed(), 0);
        QCOMPARE(g.selected(), 1);
        QVERIFY(g.f().Shape1.visible());
        for (int k = 0; k < 9; ++k)
            QVERIFY(g.f().Image2(k).visible() && g.f().Image3(k).visible());
    }

    void rightCoverPlacesThePiece() {
        Game g(3, 3);
        g.shuffle();
        const int slot = g.slotShowing(5);
        g.clickPiece(slot);
        g.clickCover(5);
        QCOMPARE(g.placed(), 1);
        QCOMPARE(g.selected(), -1);
        QVERIFY(!g.f().Image2(5).visible());
        QVERIFY(!g.f().Image3(slot).visible());
        QVERIFY(!g.f().Shape1.visible());
        // The same place now shows the picture, and no board click there or anywhere matches.
        g.clickCover(5);
        g.clickCover(4);
        QCOMPARE(g.placed(), 1);
        const QImage shot = g.f().widget()->grab().toImage();
        QCOMPARE(shownAt(shot, g.f().Image2(5)), cellColour(5));
    }

    void clickInsideTheRectangleReachesThePiece() {
        Game g(3, 3);
        g.clickPiece(4);
        g.shuffle(); // the rectangle stays, the selection is gone
        QCOMPARE(g.selected(), -1);
        QVERIFY(g.f().Shape1.visible());
        g.clickAt(QPointF(g.f().Shape1.left() + 30, g.f().Shape1.top() + 30)); // on its red edge
        QCOMPARE(g.selected(), 4);
    }

    void boardClickAfterAShuffleWithoutSelectionPlacesNothing() {
        Game g(2, 2);
        g.clickPiece(3); // shows cell 3 before any shuffle
        g.shuffle();
        g.clickCover(3);
        QCOMPARE(g.placed(), 0);
        QVERIFY(g.f().Image2(3).visible());
        QVERIFY(g.recorder.reports.isEmpty());
    }

    void pictureInFrontTakesTheClicks() {
        Game g(2, 2);
        g.clickPiece(0);
        g.press(g.f().Command3D1);
        QCOMPARE(g.f().Command3D1.caption(), QStringLiteral("Göm bild"));
        QCOMPARE(g.f().BITVIK.pictureHidden.value(), 0);
        g.clickCover(0);
        QCOMPARE(g.placed(), 0);
        QCOMPARE(g.selected(), 0);
        const QImage shot = g.f().widget()->grab().toImage();
        QCOMPARE(shownAt(shot, g.f().Image2(3)), cellColour(3));

        g.press(g.f().Command3D1);
        QCOMPARE(g.f().Command3D1.caption(), QStringLiteral("Se bild"));
        QCOMPARE(g.f().BITVIK.pictureHidden.value(), 1);
        QCOMPARE(tk::layerOf(g.f()).position(g.f().Image1), 0);
        for (int k = 0; k < 4; ++k)
            QVERIFY(g.f().Image2(k).visible());
        g.clickCover(0);
        QCOMPARE(g.placed(), 1);
    }

    void shuffleAfterAPlacementChangesNothing() {
        Game g(3, 2);
        g.shuffle();
        g.clickPiece(g.slotShowing(0));
        g.clickCover(0);
        g.clickPiece(g.slotShowing(1));
        QList<const void*> before;
        for (int s = 0; s < 6; ++s)
            before << g.f().Image3(s).picture().identity();
        QList<int> order;
        for (int i = 0; i < 51; ++i)
            order << g.f().BITVIK.trayOrder(i).value();
        g.shuffle();
        for (int s = 0; s < 6; ++s)
            QCOMPARE(g.f().Image3(s).picture().identity(), before[s]);
        for (int i = 0; i < 51; ++i)
            QCOMPARE(g.f().BITVIK.trayOrder(i).value(), order[i]);
        QCOMPARE(g.selected(), g.slotShowing(1));
    }

    void everyShuffleIsAPermutation_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::newRow("1 x 1") << 1 << 1;
        QTest::newRow("3 x 3") << 3 << 3;
        QTest::newRow("7 x 7") << 7 << 7;
        QTest::newRow("8 x 8, more cells than 51") << 8 << 8;
    }
    void everyShuffleIsAPermutation() {
        QFETCH(int, cols);
        QFETCH(int, rows);
        Game g(cols, rows);
        const int cells = cols * rows;
        for (int round = 0; round < 3; ++round) {
            g.shuffle();
            std::set<int> used;
            for (int k = 0; k < cells; ++k) {
                const int slot = g.f().BITVIK.trayOrder(k).value();
                QVERIFY(g.f().Image3(slot).picture() == g.f().PicClip1.cell(k));
                used.insert(slot);
            }
            QCOMPARE(int(used.size()), cells);
            QCOMPARE(*used.rbegin(), cells - 1);
            QCOMPARE(g.selected(), -1);
        }
        if (cells == 49) {
            QCOMPARE(g.f().BITVIK.trayOrder(49).value(), 0);
            QCOMPARE(g.f().BITVIK.trayOrder(50).value(), 0);
        }
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, g.f().BITVIK.trayOrder(std::max(51, cells)));
        QVERIFY(g.recorder.reports.isEmpty());
    }

    // Orders the shuffle dealt before the deal became a function of its own, with the timer
    // fixed: a change to the draws or their single-precision steps shows here.
    void dealFollowsTheGenerator_data() {
        QTest::addColumn<int>("cells");
        QTest::addColumn<quint64>("timer");
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("1 cell") << 1 << quint64(1) << QList<int>{0};
        QTest::newRow("2 x 2, timer 1") << 4 << quint64(1) << QList<int>{2, 1, 0, 3};
        QTest::newRow("2 x 2, timer 2") << 4 << quint64(2) << QList<int>{1, 0, 2, 3};
        QTest::newRow("4 x 3, both halves of the timer")
            << 12 << quint64(0x0123456789ABCDEF)
            << QList<int>{2, 11, 6, 3, 5, 10, 4, 1, 0, 7, 8, 9};
        QTest::newRow("10 x 10, first 20")
            << 100 << quint64(20261210) << QList<int>{47, 88, 40, 62, 97, 31, 49, 92, 3,  45,
                                                      52, 58, 78, 0,  89, 66, 32, 38, 55, 12};
    }
    void dealFollowsTheGenerator() {
        QFETCH(int, cells);
        QFETCH(quint64, timer);
        QFETCH(QList<int>, order);
        tk::Random random([timer] { return timer; });
        random.randomize();
        bitvik::TrayTable dealt = bitvik::dealTray(random, common::Int16(cells - 1));
        QList<int> first;
        for (int k = 0; k < order.size(); ++k)
            first << dealt(k).value();
        QCOMPARE(first, order);
    }

    // With this timer the 171st draw is the largest value, which names slot 64 of 64.
    void drawPastTheLastSlotIsDrawnAgain() {
        tk::Random random([] { return std::uint64_t(100342); });
        random.randomize();
        bitvik::TrayTable dealt = bitvik::dealTray(random, common::Int16(63));
        std::set<int> used;
        for (int k = 0; k < 64; ++k)
            used.insert(dealt(k).value());
        QCOMPARE(int(used.size()), 64);
        QCOMPARE(*used.rbegin(), 63);
    }

    void drawReachesEverySlotAlike() {
        Game g(3, 1);
        int counts[3][3] = {};
        const int shuffles = 3000;
        for (int n = 0; n < shuffles; ++n) {
            g.shuffle();
            for (int k = 0; k < 3; ++k)
                ++counts[k][g.f().BITVIK.trayOrder(k).value()];
        }
        // Each cell lands in each slot a third of the time; the bound is over five deviations.
        for (int k = 0; k < 3; ++k) {
            for (int s = 0; s < 3; ++s)
                QVERIFY2(
                    qAbs(counts[k][s] - shuffles / 3) < 130,
                    qPrintable(
                        QStringLiteral("cell %1 in slot %2: %3").arg(k).arg(s).arg(counts[k][s])));
        }
    }

    void quitQuestion_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<int>("desktopOrder");
        QTest::newRow("Nej keeps the game") << "Nej" << false << int(QDialogButtonBox::WinLayout);
        QTest::newRow("Ja ends it") << "Ja" << true << int(QDialogButtonBox::WinLayout);
        QTest::newRow("Ja first where the desktop puts No first")
            << "Nej" << false << int(QDialogButtonBox::GnomeLayout);
    }
    void quitQuestion() {
        QFETCH(QString, answer);
        QFETCH(bool, ends);
        QFETCH(int, desktopOrder);
        DesktopButtonOrder desktop(desktopOrder);
        Game g(2, 2);
        g.clickPiece(2);
        QuestionBox box(answer);
        box.escapeFirst = true;
        g.press(g.f().Command3D2);
        QVERIFY(box.seen);
        // Only the two buttons answer.
        QVERIFY(!box.closedWithoutButton);
        QCOMPARE(box.title, QStringLiteral("Sluta"));
        QCOMPARE(box.text, QStringLiteral("       Vill du sluta ?"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, (QStringList{"Ja", "Nej"}));
        QCOMPARE(box.defaultButton, QStringLiteral("Ja"));
        // As a screen reader reads it.
        QCOMPARE(box.accessibleRole, QAccessible::AlertMessage);
        QCOMPARE(box.accessibleName, box.title);
        QCOMPARE(box.accessibleText, box.text);
        QCOMPARE(box.accessibleButtons, box.buttons);
        QCOMPARE(g.recorder.endings, ends ? QList<int>{0} : QList<int>{});
        QVERIFY(g.recorder.reports.isEmpty());
        if (!ends) {
            QCOMPARE(g.selected(), 2);
            QVERIFY(g.f().Shape1.visible());
            QVERIFY(g.f().Form2->isVisible());
            g.clickCover(2);
            QCOMPARE(g.placed(), 1);
        }
    }

    void completeGame_data() {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("1 x 1") << 1 << 1 << QSize(400, 300);
        QTest::newRow("4 x 3, landscape") << 4 << 3 << QSize(400, 300);
        QTest::newRow("7 x 7, upright 9:16 photo") << 7 << 7 << QSize(270, 480);
    }
    void completeGame() {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(QSize, pixels);
        Game g(cols, rows, pixels);
        const int cells = cols * rows;
        g.shuffle();
        for (int k = 0; k < cells; ++k) {
            g.clickPiece(g.slotShowing(k));
            g.clickCover(k);
            QCOMPARE(g.placed(), k + 1);
        }
        const QImage shot = g.f().widget()->grab().toImage();
        for (int k = 0; k < cells; ++k) {
            QVERIFY(!g.f().Image3(k).visible() && !g.f().Image2(k).visible());
            QCOMPARE(shownAt(shot, g.f().Image2(k)), cellColour(k));
            QCOMPARE(shownAt(shot, g.f().Image3(k)), QColor(255, 255, 128));
        }
        g.shuffle();
        QCOMPARE(g.placed(), cells);
        QuestionBox box(QStringLiteral("Nej"));
        g.press(g.f().Command3D2);
        QVERIFY(!box.seen);
        QCOMPARE(g.recorder.endings, QList<int>{0});
    }
};

QTEST_MAIN(TestGamePlay)
#include "test_gameplay.moc"
