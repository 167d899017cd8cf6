// The runtime: the guard around each handler, the program's end, the random generator.

#include "runtime/random.h"
#include "runtime/runtimeerror.h"
#include "support/testsupport.h"

#include <algorithm>
#include <QTest>

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
};

QTEST_GUILESS_MAIN(TestRuntime)
#include "test_runtime.moc"
