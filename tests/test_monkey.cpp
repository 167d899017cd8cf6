// Tens of thousands of seeded random clicks and key presses on the game window, with the game's
// invariants checked after every event.

#include "support/clicks.h"
#include "support/startedgame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <random>

using namespace testsupport;
using bitvik::Form1;

namespace {

// Answers every question box with Ja or Nej, at random.
class Answerer {
public:
    explicit Answerer(std::mt19937& random) : rng(random) {
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start();
    }
    int asked = 0;

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        ++asked;
        const QList<QAbstractButton*> buttons = box->buttons();
        // Mostly Nej, so that games go on long enough to be finished.
        click(buttons[rng() % 8 == 0 ? 0 : buttons.size() - 1]);
    }
    std::mt19937& rng;
    QTimer timer;
};

struct Grid {
    int cols;
    int rows;
};

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    void randomEventsKeepTheInvariants() {
        ScratchFolder folder;
        std::mt19937 rng(20261209);
        Answerer answerer(rng);
        const Grid grids[] = {{1, 1}, {2, 2}, {3, 2}, {4, 3}, {7, 7}};
        const int events = 40000;
        int games = 0, finished = 0, placements = 0;

        std::unique_ptr<GameWindow> game;
        const auto newGame = [&] {
            game.reset();
            const Grid grid = grids[games++ % std::size(grids)];
            savePicture(gridPicture(300, 240, grid.cols, grid.rows), QStringLiteral("bild.bmp"));
            writeSettings(grid.cols, grid.rows, "bild.bmp");
            game = std::make_unique<GameWindow>(
                tk::Random([tick = std::uint64_t(games)]() mutable { return tick += 7919; }));
            QVERIFY(game->form->isVisible());
        };
        newGame();

        for (int n = 0; n < events; ++n) {
            Form1& f = *game->form;
            const RecordingProgram& recorder = game->recorder;
            const int cells = f.BITVIK.pieceCount.value();
            const int before = f.BITVIK.placedCount.value();
            const int kind = int(rng() % 100);
            if (kind < 45) {
                // Somewhere on a piece or a cover, so that pieces do get placed.
                const int k = int(rng() % unsigned(cells));
                const QRectF r = (rng() % 2 ? f.Image3(k) : f.Image2(k)).rect();
                const QPointF at(r.left() + r.width() * (rng() % 1000) / 1000.0,
                                 r.top() + r.height() * (rng() % 1000) / 1000.0);
                click(f.widget(), (at / 15).toPoint());
            } else if (kind < 85) {
                const QPoint at(int(rng() % 634), int(rng() % 455));
                if (kind < 80)
                    clickInWindow(f.widget(), at);
                else
                    doubleClickInWindow(f.widget(), at,
                                        rng() % 2 ? Qt::LeftButton : Qt::RightButton);
            } else {
                const Qt::Key keys[] = {Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Space,
                                        Qt::Key_Return, Qt::Key_Escape,  Qt::Key_Left,
                                        Qt::Key_Down,   Qt::Key_A};
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus ? focus : f.widget(), keys[rng() % std::size(keys)]);
            }

            QVERIFY2(recorder.reports.isEmpty(), qPrintable(recorder.reports.value(0)));
            if (recorder.program.hasEnded()) {
                QCOMPARE(recorder.endings, QList<int>{0});
                finished += f.BITVIK.placedCount == f.BITVIK.pieceCount;
                newGame();
                continue;
            }

            const int placed = f.BITVIK.placedCount.value();
            QVERIFY(placed >= before && placed <= before + 1);
            QVERIFY(placed <= cells);
            placements += placed - before;
            int hiddenCovers = 0;
            for (int k = 0; k < cells; ++k) {
                int shownBy = 0;
                for (int s = 0; s < cells; ++s)
                    shownBy += f.Image3(s).visible() && f.Image3(s).picture() == f.PicClip1.cell(k);
                const bool revealed = !f.Image2(k).visible();
                hiddenCovers += revealed;
                QVERIFY2(shownBy == (revealed ? 0 : 1),
                         qPrintable(QStringLiteral("event %1: cell %2 shown by %3 slots")
                                        .arg(n)
                                        .arg(k)
                                        .arg(shownBy)));
            }
            QCOMPARE(hiddenCovers, placed);
            const int selected = f.BITVIK.selectedPiece.value();
            if (selected != -1) {
                QVERIFY(f.Image3(selected).visible());
                QCOMPARE(f.Shape1.left(), f.Image3(selected).left() + 50);
                QCOMPARE(f.Shape1.top(), f.Image3(selected).top() + 60);
            }
        }
        qInfo("%d events, %d games, %d finished, %d placements, %d questions", events, games,
              finished, placements, answerer.asked);
        QVERIFY(finished > 0);
        QVERIFY(answerer.asked > 0);
    }
};

QTEST_MAIN(TestMonkey)
#include "test_monkey.moc"
