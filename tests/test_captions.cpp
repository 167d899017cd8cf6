// The windows' captions in the face their "MS Sans Serif" maps to, measured against the room their
// controls give them: none may be cut off at a side.

#include "controlwidgets.h"
#include "forms/font.h"
#include "game/bitmaps.h"
#include "support/design.h"
#include "support/startedgame.h"
#include "support/startedsetup.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

using namespace testsupport;

namespace {

// The picture button's bevel: a black line and two lines of light and shadow on each side.
constexpr int bevel = 3;

struct Room {
    QString caption;
    int text;   // pixels the caption needs across
    int across; // pixels the control leaves for it
};

QString describe(const Room& room) {
    return QStringLiteral("\"%1\" needs %2 pixels, has %3")
        .arg(room.caption)
        .arg(room.text)
        .arg(room.across);
}

int advance(const QWidget* widget, const QString& text) {
    return QFontMetrics(widget->font()).horizontalAdvance(text);
}

Room pictureButton(QAbstractButton* button, const tk::Picture& bitmap, const QString& caption) {
    button->setText(caption);
    const QFontMetrics metrics(button->font());
    // Caption and bitmap stand one above the other inside the bevel.
    const int needDown = bitmap.pixelSize().height() + 2 + metrics.height();
    if (needDown > button->height() - 2 * bevel)
        return {caption + QStringLiteral(" (in height)"), needDown, button->height() - 2 * bevel};
    return {caption, advance(button, caption), button->width() - 2 * bevel};
}

Room pushButton(const QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect contents =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return {button->text(), advance(button, button->text()), contents.width()};
}

Room optionButton(const QRadioButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect contents =
        button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    return {button->text(), advance(button, button->text()), contents.width()};
}

// A frame's caption stands in its top line, as far in from the right edge as from the left.
Room frame(const QWidget* frame, const QString& caption, int inset) {
    return {caption, advance(frame, caption), frame->width() - 2 * inset};
}

// A line edit scrolls its text to the cursor; moved to the end of a text that fits, the cursor
// lies exactly the text's width from where it stood at the start.
Room lineEdit(QLineEdit* box) {
    const QString text = box->text();
    box->setCursorPosition(0);
    const int start = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    box->setCursorPosition(int(text.size()));
    const int end = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    box->setCursorPosition(0);
    const int needed = advance(box, text);
    return {text, needed, needed - std::abs(end - start - needed)};
}

} // namespace

class TestCaptions : public QObject {
    Q_OBJECT

private slots:
    void designFaceMapsToTheMetricAlike_data() {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("weight");
        QTest::newRow("8.25 bold, the windows") << 8.25 << 700;
        QTest::newRow("9.75 bold, picture and option buttons") << 9.75 << 700;
        QTest::newRow("12 bold, frames") << 12.0 << 700;
        QTest::newRow("12 normal, file list") << 12.0 << 400;
        QTest::newRow("13.5 normal, name box") << 13.5 << 400;
        QTest::newRow("18 normal, OK and Avbryt") << 18.0 << 400;
    }
    void designFaceMapsToTheMetricAlike() {
        QFETCH(double, points);
        QFETCH(int, weight);
        const QFont font = tk::toQFont({.points = points, .weight = weight});
        const QFontInfo face(font);
        QCOMPARE(face.family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(face.bold(), weight == 700);
        QCOMPARE(face.pixelSize(), int(std::lround(points * 96 / 72)));
    }

    void gameCaptionsFit() {
        StartedGame game(2, 2);
        bitvik::Form1& f = *game.form;
        const QList<DesignRow> design = testsupport::design(QStringLiteral("game"));
        const auto caption = [&](const char* control) {
            return *designOf(design, QLatin1StringView(control)).caption;
        };
        const QList<Room> rooms{
            pictureButton(widgetOf(f.Command3D3), bitvik::shuffleBitmap(), caption("Command3D3")),
            pictureButton(widgetOf(f.Command3D1), bitvik::eyeBitmap(), caption("Command3D1")),
            pictureButton(widgetOf(f.Command3D1), bitvik::eyeBitmap(), QStringLiteral("Göm bild")),
            pictureButton(widgetOf(f.Command3D2), bitvik::stopBitmap(), caption("Command3D2")),
        };
        for (const Room& room : rooms)
            QVERIFY2(room.text <= room.across, qPrintable(describe(room)));
    }

    void setupCaptionsFit() {
        const StartedSetup tool;
        tralloma::Form1& f = *tool.form;
        QList<Room> rooms{
            pushButton(widgetOf(f.Command1)),
            pushButton(widgetOf(f.Command2)),
            frame(widgetOf(f.Frame2), f.Frame2.caption(), 6),
            frame(widgetOf(f.Frame1), f.Frame1.caption(), 6),
            lineEdit(widgetOf(f.Bild)),
        };
        for (int i = 0; i <= 6; ++i)
            rooms << optionButton(widgetOf(f.Option2(i))) << optionButton(widgetOf(f.Option1(i)));
        for (const Room& room : rooms)
            QVERIFY2(room.text <= room.across, qPrintable(describe(room)));
        // Every caption is in the face the design names, as mapped.
        const QList<QWidget*> controls{widgetOf(f.Command1),   widgetOf(f.Frame2),
                                       widgetOf(f.Option2(0)), widgetOf(f.Bild),
                                       widgetOf(f.Text1),      widgetOf(f.File1)};
        for (const QWidget* control : controls)
            QCOMPARE(QFontInfo(control->font()).family(), QStringLiteral("Liberation Sans"));
    }
};

QTEST_MAIN(TestCaptions)
#include "test_captions.moc"
