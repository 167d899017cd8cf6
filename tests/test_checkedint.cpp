#include "common/checkedint.h"

#include <QTest>

using common::Int16;
using common::Int32;

class TestCheckedInt : public QObject {
    Q_OBJECT

private slots:
    void rounding_data() {
        QTest::addColumn<double>("real");
        QTest::addColumn<int>("expected");
        QTest::newRow("772.5 to even 772") << 772.5 << 772;
        QTest::newRow("773.5 to even 774") << 773.5 << 774;
        QTest::newRow("172.5 to 172") << 172.5 << 172;
        QTest::newRow("188.4 to 188") << 188.4 << 188;
        QTest::newRow("-0.5 to 0") << -0.5 << 0;
        QTest::newRow("-1.5 to -2") << -1.5 << -2;
        QTest::newRow("32767.4 fits") << 32767.4 << 32767;
        QTest::newRow("-32768.5 rounds to even -32768") << -32768.5 << -32768;
    }
    void rounding() {
        QFETCH(double, real);
        QFETCH(int, expected);
        QCOMPARE(Int16::round(real).value(), expected);
    }

    void overflow_data() {
        QTest::addColumn<double>("real");
        QTest::newRow("32767.5 rounds to 32768") << 32767.5;
        QTest::newRow("-32769") << -32769.0;
        QTest::newRow("not a number") << std::nan("");
        QTest::newRow("infinity") << HUGE_VAL;
    }
    void overflow() {
        QFETCH(double, real);
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, Int16::round(real));
    }

    void arithmeticIsChecked() {
        QCOMPARE((Int16(32766) + 1).value(), 32767);
        QCOMPARE((Int16(-32767) - 1).value(), -32768);
        QCOMPARE((Int16(181) * 181).value(), 32761);
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, Int16(32767) + 1);
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, Int16(-32768) - 1);
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, Int16(182) * 181);
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, Int16(40000));
        QVERIFY_THROWS_EXCEPTION(tk::RuntimeError, Int32(2147483647) + 1);
        QCOMPARE(Int32(90000).value(), 90000);
    }

    void overflowMessageNamesTheValues() {
        try {
            (void)(Int16(32767) + 1);
            QFAIL("no overflow");
        } catch (const tk::RuntimeError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("32767 + 1 = 32768")),
                     qPrintable(error.message()));
            QVERIFY(error.message().contains(QStringLiteral("16-bitars")));
        }
    }
};

QTEST_APPLESS_MAIN(TestCheckedInt)
#include "test_checkedint.moc"
