// The runtime: the guard around each handler, the program's end, the random generator, the
// temporary file through which a file is replaced and the clearing of those a killed run left.

#include "runtime/leftovers.h"
#include "runtime/random.h"
#include "runtime/runtimeerror.h"
#include "runtime/temporaryfile.h"
#include "support/testsupport.h"

#include <algorithm>
#include <fcntl.h>
#include <QDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

class TestRuntime : public QObject {
    Q_OBJECT

private slots:
    void guardReportsAndEnds() {
        RecordingProgram r;
        bool after = false;
        r.program.guard([] { throw tk::RuntimeError(QStringLiteral("fel i handler")); });
        QCOMPARE(r.reports, QStringList{"fel i handler"});
        QCOMPARE(r.endings, QList<int>{1});
        QVERIFY(r.program.hasEnded());
        r.program.guard([&] { after = true; });
        QVERIFY(!after);
    }

    void endStopsTheHandlerAtOnce() {
        RecordingProgram r;
        bool after = false;
        r.program.guard([&] {
            r.program.guard([&] { r.program.end(0); });
            after = true;
        });
        QVERIFY(!after);
        QCOMPARE(r.endings, QList<int>{0});
        QVERIFY(r.reports.isEmpty());
    }

    void randomValuesLieInTheHalfOpenUnit() {
        std::uint64_t timer = 42;
        tk::Random random([&timer] { return timer; });
        random.randomize();
        float first = random.next();
        float lowest = 1, highest = 0;
        for (int i = 0; i < 100000; ++i) {
            const float r = random.next();
            lowest = std::min(lowest, r);
            highest = std::max(highest, r);
        }
        QVERIFY(lowest >= 0.0f && lowest < 0.001f);
        QVERIFY(highest < 1.0f && highest > 0.999f);
        random.randomize();
        QCOMPARE(random.next(), first);
        ++timer;
        random.randomize();
        QVERIFY(random.next() != first);
    }

    // Only an abandoned regular file of this user by the naming, within the bound, is taken; a
    // link is not followed to the old file it names.
    void leftoversAreOnlyAbandonedFilesOfTheNaming_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("abandoned file") << "x.Ab3dE9.tmp"
                                        << "file" << true;
        QTest::newRow("a moment old") << "x.Ab3dE9.tmp"
                                      << "young" << false;
        QTest::newRow("seven random characters") << "x.Ab3dE9z.tmp"
                                                 << "file" << false;
        QTest::newRow("a character outside the set") << "x.Ab-dE9.tmp"
                                                     << "file" << false;
        QTest::newRow("another suffix") << "x.Ab3dE9.png"
                                        << "file" << false;
        QTest::newRow("larger than the bound") << "x.Ab3dE9.tmp"
                                               << "large" << false;
        QTest::newRow("a link to an old file") << "x.Ab3dE9.tmp"
                                               << "link" << false;
        QTest::newRow("a folder") << "x.Ab3dE9.tmp"
                                  << "folder" << false;
        QTest::newRow("another user's") << "x.Ab3dE9.tmp"
                                        << "other user" << false;
    }
    void leftoversAreOnlyAbandonedFilesOfTheNaming() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        ScratchFolder folder;
        writeBytes(QStringLiteral("ziel"), "gammal");
        makeAbandoned(QStringLiteral("ziel"));
        if (kind == "link")
            QVERIFY(QFile::link(QStringLiteral("ziel"), name));
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(name));
        else
            writeBytes(name, QByteArray(kind == "large" ? 1025 : 1024, 'x'));
        if (kind == "other user" && ::lchown(QFile::encodeName(name).constData(), 4321, 4321) != 0)
            QSKIP("giving a file to another user is not permitted here");
        if (kind != "young")
            makeAbandoned(name);

        const tk::Descriptor place(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
        tk::removeLeftovers(place.get(), {"x.", ".tmp"}, 1024);
        QStringList expected{QStringLiteral("ziel")};
        if (!removed)
            expected << name;
        expected.sort();
        QCOMPARE(folderEntries(), expected);
    }

    // A temporary file is named as its naming says, so that a killed run's is found again; it has
    // the mode asked for, and is gone when it goes unless it was kept.
    void temporaryFileIsGoneUnlessKept() {
        ScratchFolder folder;
        const mode_t mask = ::umask(022);
        const tk::TemporaryNaming naming{"x.", ".tmp"};
        {
            const tk::Descriptor place(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
            tk::TemporaryFile kept(place.get(), naming, 0640);
            const tk::TemporaryFile dropped(place.get(), naming, 0640);
            QCOMPARE(kept.error(), 0);
            QVERIFY(naming.names(kept.name()) && naming.names(dropped.name()));
            QVERIFY(kept.name() != dropped.name());
            QCOMPARE(kept.write("new bytes"), 0);
            QVERIFY(kept.close());
            struct stat info = {};
            QCOMPARE(::stat(kept.name().c_str(), &info), 0);
            QCOMPARE(info.st_mode & 07777, 0640u);
            QCOMPARE(::rename(kept.name().c_str(), "placed"), 0);
            kept.keep();
        }
        ::umask(mask);
        QCOMPARE(folderEntries(), QStringList{"placed"});
        QCOMPARE(readBytes(QStringLiteral("placed")), QByteArray("new bytes"));

        // A folder removed meanwhile: the reason is given and nothing is made.
        QVERIFY(QDir().mkdir(QStringLiteral("borta")));
        const tk::Descriptor gone(::open("borta", O_PATH | O_DIRECTORY | O_CLOEXEC));
        QVERIFY(QDir().rmdir(QStringLiteral("borta")));
        const tk::TemporaryFile none(gone.get(), naming, 0600);
        QCOMPARE(none.error(), ENOENT);
        QVERIFY(none.name().empty());
    }
};

QTEST_GUILESS_MAIN(TestRuntime)
#include "test_runtime.moc"
