// What a screen reader and a keyboard user meet: each window is a window named by its caption,
// every control that takes the focus carries a name, decoration and never-shown controls are not
// there to land on, the error report can be read (the quit question is read in test_gameplay), and
// Tab walks the order of the tab positions: file list, name box, OK, Avbryt, the options, the label
// box last.

#include "controlwidgets.h"
#include "forms/desktopprogram.h"
#include "support/clicks.h"
#include "support/design.h"
#include "support/questionbox.h"
#include "support/settingsbytes.h"
#include "support/startedgame.h"
#include "support/startedsetup.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;

namespace {

QAccessibleInterface* accessible(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (!face)
        qFatal("no accessible interface for %s", widget->metaObject()->className());
    return face;
}

// Every control of the window's design that a screen reader meets, by its role and name.
template <class Form> void compareNamesAndRoles(Form& form, const QString& window) {
    for (const DesignRow& row : design(window)) {
        if (!row.role)
            continue;
        QAccessibleInterface* face = accessible(designed(form, row.control).widget);
        QCOMPARE(face->text(QAccessible::Name), *row.name);
        QVERIFY2(face->role() == *row.role, qPrintable(*row.name));
    }
}

// Space, Enter and the keypad's Enter press the focused button, as a click does.
void keysThatPress() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
}

QList<QWidget*> walk(Qt::Key key, int steps) {
    QList<QWidget*> visited{QApplication::focusWidget()};
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), key);
        visited << QApplication::focusWidget();
    }
    return visited;
}

QStringList childNames(QAccessibleInterface* parent) {
    QStringList names;
    for (int i = 0; i < parent->childCount(); ++i)
        names << parent->child(i)->text(QAccessible::Name);
    return names;
}

template <typename T> QList<T> reversed(QList<T> list) {
    std::reverse(list.begin(), list.end());
    return list;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    // Names

    void gameButtonsAreNamedByTheirCaptions() {
        StartedGame game(2, 2);
        bitvik::Form1& f = *game.form;
        compareNamesAndRoles(f, QStringLiteral("game"));
        // The name follows the caption when the button changes it.
        click(widgetOf(f.Command3D1));
        QCOMPARE(accessible(widgetOf(f.Command3D1))->text(QAccessible::Name),
                 QStringLiteral("Göm bild"));
    }

    void setupControlsAreNamed() {
        StartedSetup tool;
        tralloma::Form1& f = *tool.form;
        compareNamesAndRoles(f, QStringLiteral("setup"));
    }

    // The backdrop is no window of its own, the hidden picture boxes are not in the game window,
    // and Tab's stop on the caption " Bild" is no control to a screen reader.
    void nothingToLandOnThatIsNotThere() {
        StartedGame game(2, 2);
        QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
        QCOMPARE(childNames(application), QStringList{"Bitvik"});
        QCOMPARE(childNames(accessible(game.form->widget())),
                 (QStringList{"Se bild", "Sluta", "Blanda"}));
        game.form.reset();
        StartedSetup tool;
        QCOMPARE(childNames(application), QStringList{"Hämta"});
        QVERIFY(!accessible(widgetOf(tool.form->Bild))->state().focusable);
        QVERIFY(accessible(widgetOf(tool.form->Text1))->state().focusable);
    }

    void chosenGridIsRead() {
        StartedSetup tool;
        tralloma::Form1& f = *tool.form;
        for (int i = 0; i <= 6; ++i) {
            QCOMPARE(bool(accessible(widgetOf(f.Option2(i)))->state().checked), i == 2);
            QCOMPARE(bool(accessible(widgetOf(f.Option1(i)))->state().checked), i == 2);
        }
        QCOMPARE(accessible(widgetOf(f.Text1))->text(QAccessible::Value), QStringLiteral("a.bmp"));
        QAccessibleInterface* list = accessible(widgetOf(f.File1));
        QCOMPARE(list->childCount(), 1);
        QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("a.bmp"));
        QVERIFY(list->child(0)->state().selected);
    }

    // The boxes

    void errorReportIsRead() {
        QuestionBox box(QStringLiteral("OK"));
        const QString message = QStringLiteral("Filen \"bitvik.ini\" finns inte.");
        tk::showErrorReport(QStringLiteral("Bitvik"), message);
        QVERIFY(box.seen);
        QCOMPARE(box.accessibleRole, QAccessible::AlertMessage);
        QCOMPARE(box.accessibleName, QStringLiteral("Bitvik"));
        QCOMPARE(box.accessibleText, message);
        QCOMPARE(box.accessibleButtons, QStringList{"OK"});
    }

    // Keys

    void gameTabOrderBothWays() {
        StartedGame game(2, 2);
        bitvik::Form1& f = *game.form;
        QVERIFY(QTest::qWaitForWindowActive(f.widget()));
        const QList<QWidget*> forward{widgetOf(f.Command3D1), widgetOf(f.Command3D2),
                                      widgetOf(f.Command3D3), widgetOf(f.Command3D1)};
        QCOMPARE(walk(Qt::Key_Tab, 3), forward);
        QCOMPARE(walk(Qt::Key_Backtab, 3), reversed(forward));
    }

    // Of each group only the chosen button takes a Tab stop.
    void setupTabOrderBothWays() {
        StartedSetup tool;
        tralloma::Form1& f = *tool.form;
        QVERIFY(QTest::qWaitForWindowActive(f.widget()));
        const QList<QWidget*> forward{widgetOf(f.File1),      widgetOf(f.Text1),
                                      widgetOf(f.Command1),   widgetOf(f.Command2),
                                      widgetOf(f.Option1(2)), widgetOf(f.Option2(2)),
                                      widgetOf(f.Bild),       widgetOf(f.File1)};
        QCOMPARE(walk(Qt::Key_Tab, 7), forward);
        QCOMPARE(walk(Qt::Key_Backtab, 7), reversed(forward));
    }

    // "y = 6" has its tab position after the whole " X-led" frame.
    void clickedChoiceTakesItsOwnTabPosition() {
        StartedSetup tool;
        tralloma::Form1& f = *tool.form;
        QVERIFY(QTest::qWaitForWindowActive(f.widget()));
        click(widgetOf(f.Option1(5)));
        widgetOf(f.File1)->setFocus();
        QCOMPARE(walk(Qt::Key_Tab, 5).last(), widgetOf(f.Option1(5)));
        QCOMPARE(walk(Qt::Key_Backtab, 1).last(), widgetOf(f.Option2(2)));
    }

    void keysAloneChooseAndSave_data() { keysThatPress(); }
    void keysAloneChooseAndSave() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        StartedSetup tool;
        tralloma::Form1& f = *tool.form;
        QVERIFY(QTest::qWaitForWindowActive(f.widget()));
        // Four Tabs from the list reach the " Y-led" group at its choice; Up chooses "y = 2";
        // two Backtabs go back past "Avbryt" to "OK", which the key presses.
        QCOMPARE(walk(Qt::Key_Tab, 4).last(), widgetOf(f.Option1(2)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QVERIFY(f.Option1(1).value());
        QCOMPARE(walk(Qt::Key_Backtab, 2).last(), widgetOf(f.Command1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                        Qt::KeyboardModifiers(modifiers));
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), settingsBytes(3, 2, "a.bmp"));
        QCOMPARE(tool.recorder.endings, QList<int>{0});
    }

    void keysPressAPictureButton_data() { keysThatPress(); }
    void keysPressAPictureButton() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        StartedGame game(2, 2);
        QVERIFY(QTest::qWaitForWindowActive(game.form->widget()));
        QCOMPARE(QApplication::focusWidget(), widgetOf(game.form->Command3D1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                        Qt::KeyboardModifiers(modifiers));
        QCOMPARE(game.form->Command3D1.caption(), QStringLiteral("Göm bild"));
    }

    // Held down, Enter presses once; with Alt or Ctrl it is no press at all.
    void enterRepeatedOrWithModifiersPressesOnce() {
        StartedGame game(2, 2);
        QWidget* button = widgetOf(game.form->Command3D1);
        QVERIFY(QTest::qWaitForWindowActive(game.form->widget()));
        QTest::sendKeyEvent(QTest::KeyAction::Press, button, Qt::Key_Return, '\r', {});
        for (int i = 0; i < 3; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
            QApplication::sendEvent(button, &repeat);
        }
        QTest::sendKeyEvent(QTest::KeyAction::Release, button, Qt::Key_Return, '\r', {});
        QTest::keyClick(button, Qt::Key_Return, Qt::AltModifier);
        QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(game.form->Command3D1.caption(), QStringLiteral("Göm bild"));
    }

    // The Tab stop of a group is its chosen button, wherever the arrow keys move the choice; the
    // group's stop then lies at that button's own tab position.
    void tabStopFollowsTheChoice_data() {
        QTest::addColumn<bool>("rows");
        QTest::addColumn<int>("downs");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<int>("tabsToBild");
        QTest::newRow("x = 4: then the label box") << false << 1 << 3 << 1;
        QTest::newRow("x = 7: then the label box") << false << 4 << 6 << 1;
        QTest::newRow("y = 5: then the X-led group") << true << 2 << 4 << 2;
        QTest::newRow("y = 6: after the X-led group") << true << 3 << 5 << 1;
        QTest::newRow("y = 7: after the X-led group") << true << 4 << 6 << 1;
    }
    void tabStopFollowsTheChoice() {
        QFETCH(bool, rows);
        QFETCH(int, downs);
        QFETCH(int, chosen);
        QFETCH(int, tabsToBild);
        StartedSetup tool;
        tralloma::Form1& f = *tool.form;
        QVERIFY(QTest::qWaitForWindowActive(f.widget()));
        auto& group = rows ? f.Option1 : f.Option2;
        widgetOf(group(2))->setFocus();
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), widgetOf(group(chosen)));
        QVERIFY(group(chosen).value());
        QList<QWidget*> visited = walk(Qt::Key_Tab, tabsToBild);
        QCOMPARE(visited.last(), widgetOf(f.Bild));
        // Into the window again from the list, the group is entered at its new choice.
        widgetOf(f.File1)->setFocus();
        visited = walk(Qt::Key_Tab, 8);
        QVERIFY(visited.contains(widgetOf(group(chosen))));
        QVERIFY(!visited.contains(widgetOf(group(2))));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
