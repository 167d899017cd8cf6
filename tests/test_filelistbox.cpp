#include "controlwidgets.h"
#include "forms/filelistbox.h"
#include "forms/form.h"
#include "runtime/runtimeerror.h"
#include "support/clicks.h"
#include "support/testsupport.h"

#include <QDir>
#include <QListWidget>
#include <QTest>

using namespace testsupport;

namespace {

// A file list of the current folder in a window of its own, logging its events with the name
// selected at the time.
struct ListWindow {
    RecordingProgram recorder;
    tk::Form form{recorder.program, {.clientWidth = 3000, .clientHeight = 3000}};
    tk::FileListBox list{
        form,
        {.placement = {0, 0, 2000, 2900}, .pattern = QStringLiteral("*.bmp;*.gif;*.jpg;*.jpeg")}};
    QStringList log;

    ListWindow() {
        list.setClickHandler([this] { log << "click " + list.fileName(); });
        list.setDblClickHandler([this] { log << "dblclick " + list.fileName(); });
        form.show();
    }

    // One step of a script: "select 1", "click 1", "double 1", "right 1", "ctrl 1", "empty",
    // "key Down".
    void perform(const QString& step) {
        const QString what = step.section(QLatin1Char(' '), 0, 0);
        const QString arg = step.section(QLatin1Char(' '), 1);
        const int row = arg.toInt();
        if (what == QLatin1String("select")) {
            list.select(row);
        } else if (what == QLatin1String("click")) {
            clickEntry(widgetOf(list), row);
        } else if (what == QLatin1String("double")) {
            doubleClickEntry(widgetOf(list), row);
        } else if (what == QLatin1String("right")) {
            clickEntry(widgetOf(list), row, Qt::RightButton);
        } else if (what == QLatin1String("ctrl")) {
            clickEntry(widgetOf(list), row, Qt::LeftButton, Qt::ControlModifier);
        } else if (what == QLatin1String("empty")) {
            QWidget* viewport = widgetOf(list)->viewport();
            click(viewport, viewport->rect().bottomLeft() + QPoint(10, -10));
        } else if (what == QLatin1String("key")) {
            const QHash<QString, Qt::Key> keys{{"Down", Qt::Key_Down}, {"Up", Qt::Key_Up},
                                               {"End", Qt::Key_End},   {"Home", Qt::Key_Home},
                                               {"c", Qt::Key_C},       {"Enter", Qt::Key_Return}};
            QTest::keyClick(widgetOf(list), keys.value(arg));
        } else {
            QFAIL(qPrintable(step));
        }
    }
};

void touch(const QString& name) {
    writeBytes(name, "x");
}

} // namespace

class TestFileListBox : public QObject {
    Q_OBJECT

private slots:
    void listsMatchingFilesByName() {
        ScratchFolder folder;
        for (const char* name : {"b.gif", "SOL.BMP", "A.jpg", "c.Jpeg", "d.png", "e.txt", "bmp",
                                 ".dold.bmp", "f.bmp.bak", "g.jpgx", "h\ni.bmp", "j\rk.gif"})
            touch(QString::fromLatin1(name));
        QVERIFY(QDir().mkdir(QStringLiteral("mapp.jpg")));
        QVERIFY(QFile::link(QStringLiteral("saknas"), QStringLiteral("bruten.bmp")));
        ListWindow w;
        const QStringList expected{"A.jpg", "b.gif", "c.Jpeg", "h\ni.bmp", "j\rk.gif", "SOL.BMP"};
        // A line break would cut the one-line entry: the list shows it as ls does.
        const QStringList shown{"A.jpg", "b.gif", "c.Jpeg", "h?i.bmp", "j?k.gif", "SOL.BMP"};
        QCOMPARE(w.list.listCount(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(w.list.list(i), expected[i]);
            QCOMPARE(widgetOf(w.list)->item(i)->text(), shown[i]);
        }
        QCOMPARE(w.list.path(), QDir::toNativeSeparators(folder.path()));
        QCOMPARE(w.list.fileName(), QString());
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, w.list.select(6));
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, w.list.select(-1));
        QVERIFY(w.log.isEmpty());
    }

    void clickOncePerSelection_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("selected by the program")
            << QStringList{"select 0", "select 0"} << QStringList{"click a.bmp"};
        QTest::newRow("mouse on another entry")
            << QStringList{"select 0", "click 1"} << QStringList{"click a.bmp", "click b.bmp"};
        QTest::newRow("mouse on the selected entry")
            << QStringList{"select 1", "click 1", "click 1"}
            << QStringList{"click b.bmp", "click b.bmp", "click b.bmp"};
        QTest::newRow("arrow keys, stopping at the end")
            << QStringList{"select 0", "key Down", "key Down", "key Down", "key Up"}
            << QStringList{"click a.bmp", "click b.bmp", "click c.bmp", "click b.bmp"};
        QTest::newRow("End, Home and a letter")
            << QStringList{"select 1", "key End", "key Home", "key c"}
            << QStringList{"click b.bmp", "click c.bmp", "click a.bmp", "click c.bmp"};
        QTest::newRow("double-click on another entry")
            << QStringList{"select 0", "double 2"}
            << QStringList{"click a.bmp", "click c.bmp", "dblclick c.bmp"};
        QTest::newRow("double-click on the selected entry")
            << QStringList{"select 0", "double 0"}
            << QStringList{"click a.bmp", "click a.bmp", "dblclick a.bmp"};
        QTest::newRow("right button, Ctrl, empty space and Enter keep the selection")
            << QStringList{"select 0", "right 1", "ctrl 0", "empty", "key Enter"}
            << QStringList{"click a.bmp", "click a.bmp"};
    }
    void clickOncePerSelection() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, events);
        ScratchFolder folder;
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
            touch(QString::fromLatin1(name));
        ListWindow w;
        for (const QString& step : steps)
            w.perform(step);
        QCOMPARE(w.log, events);
        QVERIFY(w.recorder.reports.isEmpty());
    }

    void failingHandlerEndsTheProgram() {
        ScratchFolder folder;
        touch(QStringLiteral("a.bmp"));
        touch(QStringLiteral("b.bmp"));
        ListWindow w;
        w.list.setClickHandler([] { throw tk::RuntimeError(QStringLiteral("trasig")); });
        w.list.select(0);
        w.perform(QStringLiteral("click 1"));
        QCOMPARE(w.recorder.reports, QStringList{"trasig"});
        QCOMPARE(w.recorder.endings, QList<int>{1});
    }
};

QTEST_MAIN(TestFileListBox)
#include "test_filelistbox.moc"
