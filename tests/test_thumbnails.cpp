// The shared thumbnail cache: how a file's thumbnail is named, when one counts as the file's, and
// that a picture drawn from it looks as one decoded from the file.

#include "common/previewpixels.h"
#include "pictures/earlydecode.h"
#include "pictures/picturefile.h"
#include "support/startedgame.h"
#include "thumbnailname.h"
#include "thumbnails.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QWidget>
#include <sys/stat.h>

using namespace testsupport;

namespace {

QByteArray uriOf(const QString& fileName) {
    const QString absolute = QFileInfo(fileName).absoluteFilePath();
    return QByteArray::fromStdString(
        tk::thumbnails::uriOf(QFile::encodeName(absolute).toStdString()));
}

// A thumbnail written as another program would, with Qt's own PNG text chunks.
void writeThumbnail(const QString& path, QImage image,
                    const QList<QPair<QString, QByteArray>>& keys) {
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    for (const auto& [key, value] : keys)
        image.setText(key, QString::fromLatin1(value));
    QVERIFY(image.save(path, "PNG"));
}

// As a program that decoded the file for a preview leaves them.
void saveThumbnails(const QString& fileName) {
    const tk::PictureFile file = tk::PictureFile::open(fileName);
    file.saveThumbnails(file.pixels(common::previewPixels(1), nullptr, std::atomic<bool>{false}));
}

QColor drawnMiddle(const QString& fileName) {
    const tk::Picture picture = loadPicture(fileName);
    return picture.render(QSize(297, 223)).pixelColor(148, 111);
}

} // namespace

class TestThumbnails : public QObject {
    Q_OBJECT

private slots:
    void namedByTheDigestOfTheEncodedUri_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("uri");
        QTest::addColumn<QByteArray>("digest");
        QTest::newRow("plain") << QByteArray("/home/jens/photos/me.png")
                               << QByteArray("file:///home/jens/photos/me.png")
                               << QByteArray("c6ee772d9e49320e97ec29a7eb5b1697");
        QTest::newRow("space, å, ä, ö, #, %")
            << QByteArray("/bilder/min bild åäö#%.jpg")
            << QByteArray("file:///bilder/min%20bild%20%C3%A5%C3%A4%C3%B6%23%25.jpg")
            << QByteArray("40b5e97985945561c7784adccb3ca82c");
    }
    void namedByTheDigestOfTheEncodedUri() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, uri);
        QFETCH(QByteArray, digest);
        ScratchFolder folder;
        QCOMPARE(QByteArray::fromStdString(tk::thumbnails::uriOf(path.toStdString())), uri);
        QCOMPARE(QString::fromStdString(
                     tk::thumbnails::pathOf(path.toStdString(), tk::thumbnails::sizes[0])),
                 folder.cache() + "/thumbnails/x-large/" + digest + ".png");
    }

    // A red photo whose cached thumbnails are blue: the colour drawn tells which was used.
    void usedOnlyWhenItIsTheFilesAsItIsNow_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("used");
        QTest::addColumn<QString>("fault"); // how it differs from a fresh one
        QTest::newRow("valid") << "foto.jpg" << true << "";
        QTest::newRow("valid, a name with a space and å, ä, ö") << "min bild åäö.jpg" << true << "";
        QTest::newRow("valid, no Thumb::Size") << "foto.jpg" << true << "no size";
        QTest::newRow("valid, only the larger size") << "foto.jpg" << true << "xx-large";
        QTest::newRow("stale MTime") << "foto.jpg" << false << "stale";
        QTest::newRow("file changed after it") << "foto.jpg" << false << "touched";
        QTest::newRow("another file's") << "foto.jpg" << false << "foreign";
        QTest::newRow("URI not percent-encoded") << "min bild.jpg" << false << "raw uri";
        QTest::newRow("Thumb::Size differs") << "foto.jpg" << false << "size";
        QTest::newRow("truncated") << "foto.jpg" << false << "truncated";
        QTest::newRow("narrower than the drawing") << "foto.jpg" << false << "small";
        QTest::newRow("other proportions") << "foto.jpg" << false << "square";
    }
    void usedOnlyWhenItIsTheFilesAsItIsNow() {
        QFETCH(QString, name);
        QFETCH(bool, used);
        QFETCH(QString, fault);
        ScratchFolder folder;
        savePicture(filled(QSize(2400, 1800), Qt::red), name, "JPEG");
        savePicture(filled(QSize(2400, 1800), Qt::green), QStringLiteral("annan.jpg"), "JPEG");
        const QFileInfo info(name);
        QByteArray uri = uriOf(name);
        if (fault == "foreign")
            uri = uriOf(QStringLiteral("annan.jpg"));
        if (fault == "raw uri")
            uri = "file://" + QFile::encodeName(info.absoluteFilePath());
        const QByteArray mtime =
            QByteArray::number(info.lastModified().toSecsSinceEpoch() - (fault == "stale"));
        QList<QPair<QString, QByteArray>> keys{{"Thumb::URI", uri}, {"Thumb::MTime", mtime}};
        if (fault != "no size")
            keys.append({"Thumb::Size", QByteArray::number(info.size() + (fault == "size"))});
        const QSize size = fault == "small"    ? QSize(256, 192)
                           : fault == "square" ? QSize(512, 512)
                                               : QSize(512, 384);
        const int folderIndex = fault == "xx-large" ? 1 : 0;
        writeThumbnail(thumbnailPath(name, folderIndex),
                       filled(folderIndex ? size * 2 : size, Qt::blue), keys);
        if (fault == "truncated") {
            const QByteArray png = readBytes(thumbnailPath(name));
            writeBytes(thumbnailPath(name), png.left(png.size() - 20));
        }
        if (fault == "touched") {
            QFile file(name);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                     QFileDevice::FileModificationTime));
        }
        const QColor drawn = drawnMiddle(name);
        QVERIFY2(near(drawn, used ? Qt::blue : Qt::red), qPrintable(drawn.name()));
    }

    // Saved as the standard asks, in each size the pixels are fine enough for, and then used.
    void savedPrivatelyUnderItsNameAndUsed() {
        ScratchFolder folder;
        savePicture(gridPicture(2400, 1800, 4, 3), QStringLiteral("foto.jpg"), "JPEG");
        const tk::PictureFile file = tk::PictureFile::open(QStringLiteral("foto.jpg"));
        const std::atomic<bool> go{false};
        file.saveThumbnails(file.pixels(common::previewPixels(1), nullptr, go));
        const QFileInfo saved(thumbnailPath(QStringLiteral("foto.jpg")));
        QVERIFY(saved.exists());
        QVERIFY(
            !QFileInfo::exists(thumbnailPath(QStringLiteral("foto.jpg"), 1))); // 300 pixels across
        QCOMPARE(QImage(saved.filePath()).size(), QSize(512, 384));
        const auto modeOf = [](const QString& path) {
            return int(QFileInfo(path).permissions() & 0x7077);
        };
        QCOMPARE(modeOf(saved.filePath()), int(QFile::ReadOwner | QFile::WriteOwner));
        const int ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QCOMPARE(modeOf(saved.path()), ownerOnly);
        QCOMPARE(modeOf(folder.cache() + "/thumbnails"), ownerOnly);
        QCOMPARE(QDir(saved.path()).entryList(QDir::Files),
                 QStringList{saved.fileName()}); // no temporary left
        const QByteArray png = readBytes(saved.filePath());
        QVERIFY(png.contains(QByteArray("Thumb::URI\0", 11) + uriOf(QStringLiteral("foto.jpg"))));
        QVERIFY(png.contains(
            QByteArray("Thumb::MTime\0", 13) +
            QByteArray::number(QFileInfo("foto.jpg").lastModified().toSecsSinceEpoch())));

        // At twice the pixels, the finer decode also fills the larger size.
        file.saveThumbnails(file.pixels(common::previewPixels(2), nullptr, go));
        QCOMPARE(QImage(thumbnailPath(QStringLiteral("foto.jpg"), 1)).size(), QSize(1024, 768));
    }

    // The cache's folders as the program finds them: what is missing is made for the owner only,
    // what is there keeps its mode, no link is written through, and a temporary file that a
    // killed run left is cleared, but not one that another run is writing at this moment.
    void cacheFoldersAsFound_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("written");
        QTest::newRow("none yet") << "none" << true;
        QTest::newRow("folders of mode 0755") << "open" << true;
        QTest::newRow("thumbnails/ a link to the user's folder") << "cache link" << false;
        QTest::newRow("x-large/ a link to the user's folder") << "size link" << false;
        QTest::newRow("a temporary a killed run left") << "leftover" << true;
        QTest::newRow("another run's temporary, a moment old") << "being written" << true;
    }
    void cacheFoldersAsFound() {
        QFETCH(QString, situation);
        QFETCH(bool, written);
        ScratchFolder folder;
        savePicture(gridPicture(2400, 1800, 4, 3), QStringLiteral("foto.jpg"), "JPEG");
        const QString cache = folder.cache() + QStringLiteral("/thumbnails");
        const QString sizeFolder = cache + QStringLiteral("/x-large");
        const QString users = folder.file(QStringLiteral("bilder"));
        QVERIFY(QDir().mkdir(users));
        QCOMPARE(::chmod(QFile::encodeName(users).constData(), 0755), 0);
        const bool temporary = situation == "leftover" || situation == "being written";
        if (situation == "open" || temporary)
            QVERIFY(QDir().mkpath(sizeFolder));
        if (situation == "open") {
            QCOMPARE(::chmod(QFile::encodeName(cache).constData(), 0755), 0);
            QCOMPARE(::chmod(QFile::encodeName(sizeFolder).constData(), 0755), 0);
        }
        if (situation == "cache link")
            QVERIFY(QFile::link(users, cache));
        if (situation == "size link") {
            QVERIFY(QDir().mkdir(cache));
            QVERIFY(QFile::link(users, sizeFolder));
        }
        const QString leftover = sizeFolder + QStringLiteral("/bitvik-Ab3dE9.png");
        const QString usersOwn = sizeFolder + QStringLiteral("/bitvik-egen.png");
        if (temporary) {
            writeBytes(leftover, "halv");
            writeBytes(usersOwn, "någon annans");
        }
        if (situation == "leftover")
            makeAbandoned(leftover);

        saveThumbnails(QStringLiteral("foto.jpg"));
        const QString saved = thumbnailPath(QStringLiteral("foto.jpg"));
        QCOMPARE(QFileInfo(saved).isFile(), written);
        const auto modeOf = [](const QString& path) {
            struct stat info = {};
            return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777
                                                                           : 0u;
        };
        QCOMPARE(modeOf(users), 0755u);
        QCOMPARE(QDir(users).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        if (situation == "none")
            QCOMPARE(modeOf(cache), 0700u);
        if (situation == "open")
            QCOMPARE(modeOf(cache) * 010000 + modeOf(sizeFolder), 0755u * 010000 + 0755u);
        if (temporary) {
            QStringList kept = QDir(sizeFolder).entryList(QDir::Files);
            QStringList expected{QStringLiteral("bitvik-egen.png"), QFileInfo(saved).fileName()};
            if (situation == "being written")
                expected << QFileInfo(leftover).fileName();
            kept.sort();
            expected.sort();
            QCOMPARE(kept, expected);
        }
    }

    // A decode started before the program proper, taken only for the file it decoded, as it is.
    void earlyDecodeServesOnlyTheSameFile_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("served");
        QTest::newRow("same name, same file") << "same" << true;
        QTest::newRow("another name") << "other" << false;
        QTest::newRow("file replaced since") << "replaced" << false;
        QTest::newRow("thumbnail in the cache") << "thumbnail" << false;
    }
    void earlyDecodeServesOnlyTheSameFile() {
        QFETCH(QString, situation);
        QFETCH(bool, served);
        ScratchFolder folder;
        savePicture(filled(QSize(2400, 1800), Qt::red), QStringLiteral("foto.jpg"), "JPEG");
        if (situation == "thumbnail")
            saveThumbnails(QStringLiteral("foto.jpg"));
        tk::EarlyDecode early("foto.jpg", common::previewPixels(1));
        if (situation == "replaced") {
            QTest::qWait(200); // the decode is done; the file then changes
            QFile::remove(QStringLiteral("foto.jpg"));
            savePicture(filled(QSize(2400, 1800), Qt::blue), QStringLiteral("foto.jpg"), "JPEG");
        }
        const auto taken = early.take(situation == "other" ? "annan.jpg" : "foto.jpg");
        QCOMPARE(taken.has_value(), served);
        if (served) {
            // An eighth, 300 pixels across, leaves too little margin for a drawing 297 wide.
            QCOMPARE(taken->eighths, 2);
            QCOMPARE(QSize(taken->pixels.width, taken->pixels.height), QSize(600, 450));
            QVERIFY(near(QColor(taken->pixels.rgb[225 * 600 + 300]), Qt::red));
        }
    }

    // The game's window, drawn once from the file and once from the thumbnail made of it.
    void boardLooksTheSameFromTheThumbnail() {
        ScratchFolder folder;
        savePicture(gridPicture(2400, 1800, 4, 3), QStringLiteral("foto.jpg"), "JPEG");
        writeSettings(4, 3, "foto.jpg");
        const auto shot = [] {
            const GameWindow game;
            return game.form->widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        const QImage decoded = shot();
        saveThumbnails(QStringLiteral("foto.jpg"));
        QVERIFY(QFileInfo::exists(thumbnailPath(QStringLiteral("foto.jpg"))));
        const QImage fromThumbnail = shot();
        QCOMPARE(fromThumbnail.size(), decoded.size());
        // Where two cells meet, the two scalings may blur a pixel differently.
        int differing = 0;
        for (int y = 0; y < decoded.height(); ++y) {
            for (int x = 0; x < decoded.width(); ++x) {
                const QColor a = decoded.pixelColor(x, y);
                const QColor b = fromThumbnail.pixelColor(x, y);
                differing += std::max({qAbs(a.red() - b.red()), qAbs(a.green() - b.green()),
                                       qAbs(a.blue() - b.blue())}) > 24;
            }
        }
        QVERIFY2(differing < decoded.width() * decoded.height() / 100,
                 qPrintable(QString::number(differing)));
    }
};

QTEST_MAIN(TestThumbnails)
#include "test_thumbnails.moc"
