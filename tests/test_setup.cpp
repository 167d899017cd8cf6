#include "controlwidgets.h"
#include "support/clicks.h"
#include "support/fullfilesystem.h"
#include "support/settingsbytes.h"
#include "support/startedgame.h"
#include "support/startedsetup.h"
#include "support/storlektable.h"

#include <optional>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;
using tralloma::Form1;

namespace {

void picture(const QString& name, int width, int height, int cols = 1, int rows = 1) {
    savePicture(gridPicture(width, height, cols, rows), name, "BMP");
}

void clickOption(const Form1& f, const QString& caption) {
    for (int i = 0; i <= 6; ++i) {
        for (const auto* array : {&f.Option2, &f.Option1}) {
            if ((*array)(i).caption() == caption)
                return click(widgetOf((*array)(i)));
        }
    }
    QFAIL(qPrintable(caption));
}

// Key by key, as typed; keyClicks takes Latin-1 only.
void type(QWidget* widget, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), {});
}

} // namespace

class TestSetup : public QObject {
    Q_OBJECT

private slots:
    void firstPictureSelectedAndPreviewedAtStart() {
        ScratchFolder folder;
        picture(QStringLiteral("b.gif"), 300, 200);
        savePicture(gridPicture(400, 300, 2, 1), QStringLiteral("a.bmp"));
        SetupWindow tool;
        QVERIFY2(tool.started(), qPrintable(tool.recorder.report()));
        Form1& f = *tool.form;
        QCOMPARE(f.File1.fileName(), QStringLiteral("a.bmp"));
        QCOMPARE(f.Text1.text(), QStringLiteral("a.bmp"));
        QCOMPARE(f.Image1.picture().pixelSize(), QSize(400, 300));
        QVERIFY(f.Image1.stretch());
        QCOMPARE(f.Image1.width(), 4455.0f);
        QCOMPARE(f.Image1.height(), 4500.0f);
        // The pixels follow a moment later, decoded off the event loop.
        QTRY_COMPARE(f.widget()->grab().toImage().pixelColor(330, 100), cellColour(0));
        const QImage shot = f.widget()->grab().toImage();
        QCOMPARE(shot.pixelColor(600, 100), cellColour(1));
        QVERIFY(f.Form2 && f.Form2->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(f.widget()));
        QCOMPARE(QApplication::focusWidget(), widgetOf(f.File1));
    }

    void previewWidth_data() {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QSizeF>("shown");
        for (const StorlekExample& e : storlekExamples())
            QTest::newRow(e.name) << e.pixels << e.inSetup;
    }
    void previewWidth() {
        QFETCH(QSize, pixels);
        QFETCH(QSizeF, shown);
        ScratchFolder folder;
        picture(QStringLiteral("a.bmp"), 300, 200);
        savePicture(gridPicture(pixels.width(), pixels.height(), 1, 1), QStringLiteral("b.jpg"),
                    "JPEG");
        SetupWindow tool;
        Form1& f = *tool.form;
        for (int again = 0; again < 2; ++again) {
            clickEntry(widgetOf(f.File1), 1);
            QVERIFY2(tool.recorder.reports.isEmpty(), qPrintable(tool.recorder.report()));
            QCOMPARE(f.Text1.text(), QStringLiteral("b.jpg"));
            QCOMPARE(f.Image1.picture().pixelSize(), pixels);
            QVERIFY(f.Image1.stretch());
            QCOMPARE(f.Image1.width(), float(shown.width()));
            QCOMPARE(f.Image1.height(), float(shown.height()));
        }
    }

    // The choice is saved by OK, or by a double-click on an entry, which also names that entry.
    void savesTheChoice_data() {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<int>("doubleClicked"); // -1: OK pressed
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("untouched") << QStringList() << -1 << settingsBytes(3, 3, "a.bmp");
        QTest::newRow("x = 7, y = 1")
            << QStringList{"x = 7", "y = 1"} << -1 << settingsBytes(7, 1, "a.bmp");
        QTest::newRow("rows chosen first")
            << QStringList{"y = 5", "x = 2"} << -1 << settingsBytes(2, 5, "a.bmp");
        QTest::newRow("mind changed")
            << QStringList{"x = 4", "y = 7", "x = 1"} << -1 << settingsBytes(1, 7, "a.bmp");
        QTest::newRow("double-click on c.bmp")
            << QStringList{"x = 4"} << 2 << settingsBytes(4, 3, "c.bmp");
    }
    void savesTheChoice() {
        QFETCH(QStringList, chosen);
        QFETCH(int, doubleClicked);
        QFETCH(QByteArray, saved);
        ScratchFolder folder;
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
            picture(QString::fromLatin1(name), 300, 200);
        SetupWindow tool;
        for (const QString& caption : chosen)
            clickOption(*tool.form, caption);
        if (doubleClicked < 0)
            click(widgetOf(tool.form->Command1));
        else
            doubleClickEntry(widgetOf(tool.form->File1), doubleClicked);
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), saved);
        QCOMPARE(tool.recorder.endings, QList<int>{0});
        QVERIFY(tool.recorder.reports.isEmpty());
    }

    // A killed save's temporary file is cleared at start all the same, once abandoned; one a
    // moment old may be another Tralloma's save under way, and stays.
    void leavingWithoutSaving_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("byClosing");
        QTest::addColumn<bool>("leftovers");
        const QByteArray earlier = settingsBytes(5, 2, "gammal.bmp");
        QTest::newRow("Avbryt, no file") << QByteArray() << false << false;
        QTest::newRow("Avbryt, earlier file") << earlier << false << false;
        QTest::newRow("window closed, no file") << QByteArray() << true << false;
        QTest::newRow("window closed, earlier file") << earlier << true << false;
        QTest::newRow("Avbryt, an abandoned and a young temporary") << earlier << false << true;
    }
    void leavingWithoutSaving() {
        QFETCH(QByteArray, before);
        QFETCH(bool, byClosing);
        QFETCH(bool, leftovers);
        ScratchFolder folder;
        picture(QStringLiteral("a.bmp"), 300, 200);
        if (!before.isNull())
            writeBytes(QStringLiteral("bitvik.ini"), before);
        const QString abandoned = QStringLiteral("bitvik.ini.sparas.Ab3xYz");
        if (leftovers) {
            writeBytes(QStringLiteral("bitvik.ini.sparas.Ny12cd"), "2\r\n");
            writeBytes(abandoned, "1\r\n");
            makeAbandoned(abandoned);
        }
        QStringList entries = folderEntries();
        entries.removeOne(abandoned);
        SetupWindow tool;
        clickOption(*tool.form, QStringLiteral("x = 7"));
        if (byClosing) {
            tool.form->close();
            QVERIFY(!tool.form->Form2);
            QVERIFY(!tool.form->isVisible());
            QVERIFY(tool.recorder.endings.isEmpty());
        } else {
            click(widgetOf(tool.form->Command2));
            QCOMPARE(tool.recorder.endings, QList<int>{0});
        }
        QCOMPARE(folderEntries(), entries);
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), before.isNull() ? QByteArray() : before);
    }

    void typedNameIsSavedAsTyped() {
        StartedSetup tool;
        Form1& f = *tool.form;
        const tk::Picture shown = f.Image1.picture();
        click(widgetOf(f.Text1));
        QTest::keyClick(widgetOf(f.Text1), Qt::Key_A, Qt::ControlModifier);
        type(widgetOf(f.Text1), QStringLiteral("min, egen bild.gif"));
        QVERIFY(f.Image1.picture() == shown);
        QCOMPARE(f.Image1.height(), 3000.0f);
        click(widgetOf(f.Command1));
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")),
                 settingsBytes(3, 3, "min, egen bild.gif"));
    }

    // The name is listed, saved and played; a name that is not UTF-8 shows as Windows-1252 reads
    // it, which is then its bytes in bitvik.ini. Where a UTF-8 name reads alike, that file is the
    // one listed and played, as before; the other cannot be told from it in bitvik.ini.
    void savedPictureIsPlayed_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<QByteArray>("fileNamed"); // the picture's own name; empty: name in UTF-8
        QTest::addColumn<bool>("twin");            // a file beside it named onDisk, another picture
        QTest::newRow("sol.bmp") << "sol.bmp" << QByteArray("sol.bmp") << QByteArray() << false;
        QTest::newRow("å, ä, ö") << "äventyr på sjön.bmp"
                                 << QByteArray("\xE4ventyr p\xE5 sj\xF6n.bmp") << QByteArray()
                                 << false;
        QTest::newRow("Ö, comma, upper case")
            << "Öland, 1998.BMP" << QByteArray("\xD6land, 1998.BMP") << QByteArray() << false;
        QTest::newRow("named in Latin-1") << "café €.bmp" << QByteArray("caf\xE9 \x80.bmp")
                                          << QByteArray("caf\xE9 \x80.bmp") << false;
        QTest::newRow("in UTF-8 and in Latin-1")
            << "café.bmp" << QByteArray("caf\xE9.bmp") << QByteArray() << true;
    }
    void savedPictureIsPlayed() {
        QFETCH(QString, name);
        QFETCH(QByteArray, onDisk);
        QFETCH(QByteArray, fileNamed);
        QFETCH(bool, twin);
        ScratchFolder folder;
        const QByteArray grid = encoded(gridPicture(400, 300, 4, 2), "BMP");
        writeBytesNamed(fileNamed.isEmpty() ? name.toUtf8() : fileNamed, grid);
        if (twin)
            writeBytesNamed(onDisk, encoded(gridPicture(300, 200, 1, 1), "BMP"));
        {
            SetupWindow tool;
            QVERIFY2(tool.started(), qPrintable(tool.recorder.report()));
            QCOMPARE(tool.form->File1.listCount(), 1);
            QCOMPARE(tool.form->File1.list(0), name);
            QCOMPARE(tool.form->Text1.text(), name);
            QCOMPARE(tool.form->Image1.picture().pixelSize(), QSize(400, 300));
            QCOMPARE(widgetOf(tool.form->Text1)->cursorPosition(), 0); // the name shows its start
            clickOption(*tool.form, QStringLiteral("x = 4"));
            clickOption(*tool.form, QStringLiteral("y = 2"));
            click(widgetOf(tool.form->Command1));
            QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), settingsBytes(4, 2, onDisk));
        }
        const GameWindow game;
        QVERIFY2(game.started(), qPrintable(game.recorder.report()));
        QCOMPARE(game.form->BITVIK.fileName, name);
        QCOMPARE(game.form->BITVIK.pieceCount.value(), 8);
        const QImage shot = game.form->widget()->grab().toImage();
        for (int k = 0; k < 8; ++k)
            QCOMPARE(shownAt(shot, game.form->Image3(k)), cellColour(k));
    }

    void failedSaveLeavesTheEarlierFile_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("inTheWay"); // "folder": bitvik.ini is one; "full": the disk
        QTest::addColumn<QString>("named");
        QTest::newRow("bitvik.ini is a folder") << QString() << "folder"
                                                << "det finns en mapp";
        QTest::newRow("double quote in the name") << "a\"b.bmp"
                                                  << ""
                                                  << "citattecken";
        QTest::newRow("outside Windows-1252") << "bild✓.bmp"
                                              << ""
                                              << "U+2713";
        QTest::newRow("full disk") << QString() << "full"
                                   << "disken är full";
    }
    void failedSaveLeavesTheEarlierFile() {
        QFETCH(QString, typed);
        QFETCH(QString, inTheWay);
        QFETCH(QString, named);
        ScratchFolder folder;
        std::optional<SmallFilesystem> disk; // 64 KiB, so a small picture
        if (inTheWay == "full") {
            disk.emplace(folder.path());
            if (!disk->mounted())
                QSKIP(qPrintable(disk->skipReason));
        }
        picture(QStringLiteral("a.bmp"), 40, 30);
        const bool iniIsFolder = inTheWay == "folder";
        if (iniIsFolder) {
            QVERIFY(QDir().mkdir(QStringLiteral("bitvik.ini")));
            writeBytes(QStringLiteral("bitvik.ini/inuti.txt"), "kvar");
        } else {
            writeBytes(QStringLiteral("bitvik.ini"), settingsBytes(5, 2, "gammal.bmp"));
        }
        if (disk)
            QVERIFY(disk->fill());
        const QStringList entries = folderEntries();
        SetupWindow tool;
        if (!typed.isNull()) {
            widgetOf(tool.form->Text1)->selectAll();
            type(widgetOf(tool.form->Text1), typed);
        }
        click(widgetOf(tool.form->Command1));
        QCOMPARE(tool.recorder.endings, QList<int>{1});
        QVERIFY2(tool.recorder.report().contains(named) &&
                     tool.recorder.report().contains("bitvik.ini"),
                 qPrintable(tool.recorder.report()));
        QCOMPARE(folderEntries(), entries);
        if (iniIsFolder)
            QCOMPARE(readBytes(QStringLiteral("bitvik.ini/inuti.txt")), QByteArray("kvar"));
        else
            QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), settingsBytes(5, 2, "gammal.bmp"));
    }

    void startFailures_data() {
        QTest::addColumn<bool>("brokenPicture");
        QTest::addColumn<QByteArray>("rawName"); // a picture by a name that is not UTF-8
        QTest::addColumn<QString>("named");
        QTest::newRow("no pictures")
            << false << QByteArray() << "inga bilder av slagen BMP, GIF eller JPEG";
        QTest::newRow("unreadable picture") << true << QByteArray() << "\"a.jpg\" kan inte läsas";
        // 81 is one of the bytes Windows-1252 leaves unassigned, so no name shown can lead to it.
        QTest::newRow("a name neither UTF-8 nor Windows-1252")
            << false << QByteArray("f\x81rg.bmp")
            << QStringLiteral("inte är giltig UTF-8: f\uFFFDrg.bmp.");
    }
    void startFailures() {
        QFETCH(bool, brokenPicture);
        QFETCH(QByteArray, rawName);
        QFETCH(QString, named);
        ScratchFolder folder;
        savePicture(gridPicture(300, 200, 1, 1), QStringLiteral("bild.png"), "PNG");
        QVERIFY(QDir().mkdir(QStringLiteral("mapp.bmp")));
        if (brokenPicture)
            writeBytes(QStringLiteral("a.jpg"), "ingen bild");
        if (!rawName.isEmpty())
            writeBytesNamed(rawName, {});
        SetupWindow tool;
        QCOMPARE(tool.recorder.endings, QList<int>{1});
        QVERIFY2(tool.recorder.report().contains(named), qPrintable(tool.recorder.report()));
        if (!brokenPicture)
            QVERIFY2(tool.recorder.report().contains(QDir::toNativeSeparators(folder.path())),
                     qPrintable(tool.recorder.report()));
        QVERIFY(!tool.form->isVisible());
        QVERIFY(tool.form->Form2 && tool.form->Form2->isVisible());
        QVERIFY(!QFile::exists(QStringLiteral("bitvik.ini")));
    }

    void designValuesHoldAtEverySize() {
        ScratchFolder folder;
        picture(QStringLiteral("a.bmp"), 300, 200);
        RecordingProgram recorder{QStringLiteral("Tralloma")};
        Form1 f(recorder.program);
        const QList<DesignRow> rows = design(QStringLiteral("setup"));
        for (const DesignRow& row : rows) {
            const DesignedControl control = designed(f, row.control);
            if (row.caption)
                QCOMPARE(control.caption, *row.caption);
            if (!row.container.isEmpty())
                QCOMPARE(control.widget->parentWidget(), designed(f, row.container).widget);
        }
        QVERIFY(f.Image1.picture().isNull());
        for (int i = 0; i <= 6; ++i) {
            QCOMPARE(f.Option2(i).value(), i == 2);
            QCOMPARE(f.Option1(i).value(), i == 2);
        }
        // Pixels at 15 twips each; option buttons inside their frame; the preview drawn by the
        // window itself.
        const QSize designSize = designPixels(designOf(rows, QStringLiteral("Form1")).twips).size();
        for (const QSize size : {designSize, QSize(900, 700)}) {
            f.widget()->resize(size);
            QCOMPARE(f.widget()->size(), size);
            for (const DesignRow& row : rows) {
                if (row.control == u"Image1")
                    QCOMPARE(f.Image1.rect(), row.twips);
                else if (row.control != u"Form1")
                    QCOMPARE(designed(f, row.control).widget->geometry(), designPixels(row.twips));
            }
        }
        // Its design size is its least, so that a tiling window manager cannot squeeze it.
        f.widget()->resize(300, 200);
        QCOMPARE(f.widget()->size(), designSize);
        // " Bild" lies over the top edge of the name box; beside it the edge shows.
        const QImage shot = f.widget()->grab().toImage();
        QCOMPARE(shot.pixelColor(226, 24), shot.pixelColor(226, 18));
        QCOMPARE(shot.pixelColor(300, 24), QColor(Qt::black));
    }

    // A picture 6900 twips high would run from 360 down under "OK" and "Avbryt".
    void tallPreviewStaysAboveTheButtons() {
        ScratchFolder folder;
        picture(QStringLiteral("hög.bmp"), 300, 460);
        SetupWindow tool;
        Form1& f = *tool.form;
        QCOMPARE(f.Image1.height(), 5255.0f);
        const int middle = int(f.Image1.rect().center().x() / 15);
        // The preview's last pixel row.
        QTRY_COMPARE(f.widget()->grab().toImage().pixelColor(middle, 373), cellColour(0));
        const QImage shot = f.widget()->grab().toImage();
        QCOMPARE(shot.pixelColor(middle, 375), QColor(255, 255, 128));
        QCOMPARE(shot.pixelColor(532, 440), QColor(255, 255, 128)); // between the buttons

        // The game shows the picture in the same proportions.
        writeSettings(1, 1, "h\xF6g.bmp");
        const GameWindow game;
        QVERIFY2(game.started(), qPrintable(game.recorder.report()));
        QCOMPARE(f.Image1.width() / f.Image1.height(),
                 game.form->Image1.width() / game.form->Image1.height());

        click(widgetOf(f.Command1));
        QCOMPARE(readBytes(QStringLiteral("bitvik.ini")), settingsBytes(3, 3, "h\xF6g.bmp"));
    }

    void keysPressNoButton() {
        StartedSetup tool;
        Form1& f = *tool.form;
        for (QWidget* focus :
             QList<QWidget*>{widgetOf(f.File1), widgetOf(f.Text1), widgetOf(f.Option1(2))}) {
            focus->setFocus();
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(focus, key);
        }
        QVERIFY(tool.recorder.endings.isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("bitvik.ini")));
        QVERIFY(f.isVisible());
    }

    // Selections faster than the decodes: each one's name and size at once, and at the end the
    // newest one's pixels only, even though the older photos take longer to decode.
    void previewShowsTheNewestSelectionOnly() {
        ScratchFolder folder;
        const auto photo = [](const QString& name, QColor colour) {
            QImage image(4000, 3000, QImage::Format_RGB32);
            image.fill(colour);
            savePicture(image, name, "JPEG");
        };
        photo(QStringLiteral("a.jpg"), Qt::red);
        photo(QStringLiteral("b.jpg"), Qt::green);
        savePicture(gridPicture(400, 300, 1, 1), QStringLiteral("c.bmp"));
        SetupWindow tool;
        Form1& f = *tool.form;
        for (int row : {1, 0, 2}) {
            clickEntry(widgetOf(f.File1), row);
            QCOMPARE(f.Text1.text(), widgetOf(f.File1)->item(row)->text());
            QCOMPARE(f.Image1.width(), 4455.0f);
        }
        QCOMPARE(f.Image1.height(), 4500.0f);
        const QPoint middle = (f.Image1.rect().center() / 15).toPoint();
        QTRY_COMPARE(f.widget()->grab().toImage().pixelColor(middle), cellColour(0));
        QTest::qWait(300); // time for an overtaken decode to finish, had it not been stopped
        QCOMPARE(f.widget()->grab().toImage().pixelColor(middle), cellColour(0));
        QCOMPARE(f.Image1.picture().pixelSize(), QSize(400, 300));
        QVERIFY(tool.recorder.reports.isEmpty());
    }

    // The header reads well, a later scan is broken: the report comes when the decode finds it.
    void brokenPixelsAreReportedWhenDecoded() {
        ScratchFolder folder;
        writeBytes(QStringLiteral("trasig.jpg"), brokenScanJpeg());
        SetupWindow tool;
        QTRY_COMPARE(tool.recorder.endings, QList<int>{1});
        QVERIFY2(tool.recorder.report().contains(QStringLiteral("trasig.jpg")) &&
                     tool.recorder.report().contains(QStringLiteral("skadade")),
                 qPrintable(tool.recorder.report()));
    }

    // What the preview decoded is in the shared cache for the game to draw from: every photo
    // larger than the smallest thumbnail (512 pixels) gets one.
    void previewedPhotoLeavesItsThumbnail_data() {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QSize>("thumbnail"); // empty: none
        QTest::newRow("2400 x 1800") << QSize(2400, 1800) << QSize(512, 384);
        QTest::newRow("3000 x 2000, an eighth narrower than 512")
            << QSize(3000, 2000) << QSize(512, 341);
        QTest::newRow("4000 x 3000") << QSize(4000, 3000) << QSize(512, 384);
        QTest::newRow("2000 x 3000, upright") << QSize(2000, 3000) << QSize(341, 512);
        QTest::newRow("500 x 400, smaller than a thumbnail") << QSize(500, 400) << QSize();
    }
    void previewedPhotoLeavesItsThumbnail() {
        QFETCH(QSize, photo);
        QFETCH(QSize, thumbnail);
        ScratchFolder folder;
        savePicture(gridPicture(photo.width(), photo.height(), 2, 2), QStringLiteral("foto.jpg"),
                    "JPEG");
        SetupWindow tool;
        const QString saved = thumbnailPath(QStringLiteral("foto.jpg"));
        if (thumbnail.isEmpty())
            QTest::qWait(300); // time for a thumbnail that should not be there
        else
            QTRY_VERIFY(QFileInfo::exists(saved));
        click(widgetOf(tool.form->Command2));
        QCOMPARE(tool.recorder.endings, QList<int>{0});
        QCOMPARE(QImage(saved).size(), thumbnail.isEmpty() ? QSize(0, 0) : thumbnail);
    }
};

QTEST_MAIN(TestSetup)
#include "test_setup.moc"
