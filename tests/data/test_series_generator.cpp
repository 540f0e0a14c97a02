#include "data/SeriesGenerator.h"

#include <QtTest>

using namespace SeriesGenerator;

class TestSeriesGenerator : public QObject {
    Q_OBJECT
private slots:
    void readInt32_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "42" << 42;
        QTest::newRow("blanks and sign") << "  -17x" << -17;
        QTest::newRow("plus") << "+8" << 8;
        QTest::newRow("letters") << "a" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("too big") << "99999999999" << 2147483647;
        QTest::newRow("too small") << "-99999999999" << int(-2147483648LL);
    }
    void readInt32() {
        QFETCH(QString, text);
        QTEST(SeriesGenerator::readInt32(text), "value");
    }

    void sequential_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("pad");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("count");
        QTest::newRow("padded") << "1"
                                << "10" << true << QStringList{"01", "02"} << "10" << 10;
        QTest::newRow("not padded") << "1"
                                    << "10" << false << QStringList{"1", "2"} << "10" << 10;
        QTest::newRow("same width") << "001"
                                    << "200" << true << QStringList{"001", "002"} << "200" << 200;
        QTest::newRow("wider to") << "001"
                                  << "00200" << true << QStringList{"00001"} << "00200" << 200;
        QTest::newRow("negative") << "-3"
                                  << "2" << true << QStringList{"-3", "-2", "-1", "00", "01"} << "02" << 6;
        QTest::newRow("letters read as 0") << "a"
                                           << "3" << false << QStringList{"0", "1"} << "3" << 4;
    }
    void sequential() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, pad);
        QFETCH(QStringList, first);
        QFETCH(QString, last);
        const QStringList v = sequentialValues(QString(), from, to, QString(), pad);
        QTEST(int(v.size()), "count");
        QCOMPARE(v.mid(0, first.size()), first);
        QCOMPARE(v.last(), last);
    }

    void prefixSuffix() {
        QCOMPARE(sequentialValues("A-", "8", "10", " x", true), (QStringList{"A-08 x", "A-09 x", "A-10 x"}));
    }

    void checks_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        const struct {
            const char* tag;
            int mode;
            QString from, to, value, count, length, message;
            int focus;
        } rows[] = {
            {"from empty", 0, "", "3", "", "", "", "Please enter valid 'From' value.", int(Field::From)},
            {"to empty", 0, "1", "", "", "", "", "Please enter valid 'To' value.", int(Field::To)},
            {"equal", 0, "5", "5", "", "", "", "'From' value must be smaller than 'To' value.",
             int(Field::From)},
            {"reversed", 0, "7", "3", "", "", "", "'From' value must be smaller than 'To' value.",
             int(Field::From)},
            {"too many", 0, "0", "2000000", "", "", "", "A series can have at most 1000000 values.",
             int(Field::To)},
            {"fine", 0, "1", "2", "", "", "", "", int(Field::None)},
            {"value empty", 1, "", "", "", "3", "", "Please enter valid 'Value'.", int(Field::Value)},
            {"count empty", 1, "", "", "x", "", "", "Please enter valid 'Count' value.", int(Field::Count)},
            {"random count empty", 2, "", "", "", "", "2", "Please enter valid 'Count' value.",
             int(Field::RandomCount)},
            {"random length empty", 2, "", "", "", "3", "", "Please enter valid 'Length' value.",
             int(Field::RandomLength)},
        };
        for (const auto& r : rows)
            QTest::newRow(r.tag) << r.mode << r.from << r.to << r.value << r.count << r.length << r.message
                                 << r.focus;
    }
    void checks() {
        QFETCH(int, mode);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, value);
        QFETCH(QString, count);
        QFETCH(QString, length);
        QFETCH(QString, message);
        QFETCH(int, focus);
        Input in;
        in.mode = Mode(mode);
        in.from = from;
        in.to = to;
        in.value = value;
        in.count = count;
        in.randCount = count;
        in.randLength = length;
        const Problem p = check(in);
        QCOMPARE(p.message, message);
        QCOMPARE(int(p.focus), focus);
    }

    void boundedFields_data() {
        QTest::addColumn<bool>("length");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero") << false << "0"
                              << "1";
        QTest::newRow("cleared") << false << ""
                                 << "1";
        QTest::newRow("six digits") << false << "123456"
                                    << "10000";
        QTest::newRow("within") << false << "250"
                                << "250";
        QTest::newRow("over") << false << "20000"
                              << "10000";
        QTest::newRow("length two digits") << true << "12"
                                           << "1";
        QTest::newRow("length zero") << true << "0"
                                     << "1";
        QTest::newRow("length fine") << true << "7"
                                     << "7";
    }
    void boundedFields() {
        QFETCH(bool, length);
        QFETCH(QString, typed);
        QTEST(length ? boundedLengthText(typed) : boundedCountText(typed), "shown");
    }

    void randomRanges_data() {
        QTest::addColumn<QString>("length");
        QTest::addColumn<uint>("min");
        QTest::addColumn<uint>("max");
        QTest::newRow("1") << "1" << 1u << 9u;
        QTest::newRow("2") << "2" << 10u << 99u;
        QTest::newRow("9") << "9" << 100000000u << 999999999u;
        QTest::newRow("blank digit") << " 5" << 10000u << 99999u;
        QTest::newRow("signed") << "-5" << 0u << 0u;
    }
    void randomRanges() {
        QFETCH(QString, length);
        QFETCH(uint, min);
        QFETCH(uint, max);
        const Range r = randomRange(length);
        QCOMPARE(r.min, min);
        QCOMPARE(r.max, max);
    }

    void randomValuesStayInRange() {
        quint32 next = 0;
        const QStringList v = randomValues("A", "2", 3, QString(), [&next] { return next += 0x9E3779B9u; });
        QCOMPARE(v.size(), 3);
        for (const QString& s : v) {
            QVERIFY(s.startsWith(u'A'));
            const int n = s.mid(1).toInt();
            QVERIFY2(n >= 10 && n <= 99, qPrintable(s));
        }
        QCOMPARE(numberInRange(0xFFFFFFFFu, 100000000u, 999999999u), 0xFFFFFFFFu % 900000000u + 100000000u);
    }

    void constant() {
        QCOMPARE(constantValues(" x ", 3), (QStringList{" x ", " x ", " x "}));
        QVERIFY(constantValues("x", 0).isEmpty());
        QVERIFY(constantValues("x", -4).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSeriesGenerator)
#include "test_series_generator.moc"
