#include "tricked/trickconfig.h"

#include <QTest>

using namespace tricked;

class TestTrickConfig : public QObject {
    Q_OBJECT
private slots:
    void fieldForm_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected"); // empty: does not fit a field
        QTest::newRow("0") << 0 << "0   ";
        QTest::newRow("9") << 9 << "9   ";
        QTest::newRow("10") << 10 << "10  ";
        QTest::newRow("99") << 99 << "99  ";
        QTest::newRow("100") << 100 << "100 ";
        QTest::newRow("658") << 658 << "658 ";
        QTest::newRow("negative") << -1 << "";
        QTest::newRow("five digits") << 10000 << "";
    }
    void fieldForm() {
        QFETCH(int, position);
        QFETCH(QString, expected);
        QCOMPARE(field(position).value_or(QString()), expected);
    }

    void unchangedLandmarks_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("chars");
        QTest::newRow("0") << 0 << "0   0   ";
        QTest::newRow("8") << 8 << "1   1   ";
        QTest::newRow("80") << 80 << "10  10  ";
        QTest::newRow("800") << 800 << "100 100 ";
        QTest::newRow("5264") << 5264 << "658 658 ";
    }
    void unchangedLandmarks() {
        QFETCH(int, offset);
        QFETCH(QString, chars);
        const QString text = unchangedConfig();
        QCOMPARE(text.size(), 5272);
        QCOMPARE(text.mid(offset, 8), chars);
        static const QRegularExpression digitsAndSpaces(QStringLiteral("^[0-9 ]*$"));
        QVERIFY(digitsAndSpaces.match(text).hasMatch());
    }

    void recordReplacement() {
        QString text = unchangedConfig();
        const QString before = text;
        QVERIFY(replaceRecord(text, 3, 12));
        QCOMPARE(text.mid(24, 8), QStringLiteral("3   12  "));
        QVERIFY(replaceRecord(text, 42, 658));
        QCOMPARE(text.mid(336, 8), QStringLiteral("42  658 "));
        // The latest swap of a position wins.
        QVERIFY(replaceRecord(text, 5, 7));
        QVERIFY(replaceRecord(text, 5, 9));
        QCOMPARE(text.mid(40, 8), QStringLiteral("5   9   "));
        QVERIFY(replaceRecord(text, 0, 0));
        QCOMPARE(text.mid(0, 8), QStringLiteral("0   0   "));
        QCOMPARE(text.size(), before.size());
        for (int k = 0; k < kTrickCount; ++k)
            if (k != 3 && k != 42 && k != 5)
                QCOMPARE(text.mid(8 * k, 8), before.mid(8 * k, 8));
    }

    void recordOutsideText() {
        QString text = unchangedConfig();
        const QString before = text;
        QVERIFY(!replaceRecord(text, 659, 1)); // one past the last record
        QVERIFY(!replaceRecord(text, -1, 1));
        QVERIFY(!replaceRecord(text, 1, 10000));
        QString empty;
        QVERIFY(!replaceRecord(empty, 0, 0));
        QCOMPARE(text, before);
        QVERIFY(empty.isEmpty());
    }

    void offsetIsSixteenBit() {
        QCOMPARE(recordOffset(658).value_or(-1), qint16(5264));
        QCOMPARE(recordOffset(4095).value_or(-1), qint16(32760));
        QVERIFY(!recordOffset(4096)); // 32768 does not fit
        QVERIFY(!recordOffset(70000));
    }

    void parseValid_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("positions");
        QTest::addColumn<QList<Swap>>("swaps");
        QString one = unchangedConfig();
        one.replace(24, 8, QStringLiteral("3   12  "));
        QTest::newRow("unchanged") << unchangedConfig() << 659 << QList<Swap>{};
        QTest::newRow("empty") << QString() << 659 << QList<Swap>{};
        QTest::newRow("one swap") << one << 659 << QList<Swap>{{3, 3, 12}};
        QTest::newRow("trailing line break") << one + "\n" << 659 << QList<Swap>{{3, 3, 12}};
        QTest::newRow("odd field ignored") << one + "12  " << 659 << QList<Swap>{{3, 3, 12}};
        QTest::newRow("partial field ignored")
            << QStringLiteral("7   7   4") << 659 << QList<Swap>{};
        // Equal numbers that differ as text copy the trick's own file back.
        QTest::newRow("right-aligned")
            << QStringLiteral("   5") + "5   " << 659 << QList<Swap>{{0, 5, 5}};
        QTest::newRow("both right-aligned")
            << QStringLiteral("  42 658") << 659 << QList<Swap>{{0, 42, 658}};
        // The first field names the trick, wherever the record lies.
        QTest::newRow("record elsewhere")
            << QStringLiteral("0   0   3   12  ") << 659 << QList<Swap>{{1, 3, 12}};
        QTest::newRow("last position on a short list")
            << QStringLiteral("99  0   ") << 100 << QList<Swap>{{0, 99, 0}};
        // Equal fields are skipped before they are read as numbers.
        QTest::newRow("eight trailing blanks")
            << one + QString(8, u' ') << 659 << QList<Swap>{{3, 3, 12}};
        QTest::newRow("empty equal fields")
            << QString(unchangedConfig()).replace(56, 8, QString(8, u' ')) << 659 << QList<Swap>{};
        QTest::newRow("unchanged past a short list") << one << 100 << QList<Swap>{{3, 3, 12}};
        QTest::newRow("659 unchanged") << unchangedConfig() + "659 659 " << 659 << QList<Swap>{};
    }
    void parseValid() {
        QFETCH(QString, text);
        QFETCH(int, positions);
        QFETCH(QList<Swap>, swaps);
        const ParseResult result = parseOpened(text, positions);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.swaps, swaps);
    }

    void parseRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("positions");
        QTest::addColumn<QString>("names"); // what the message must name
        const auto withRecord = [](int k, const QString& record) {
            return unchangedConfig().replace(8 * k, 8, record);
        };
        QTest::newRow("letters") << withRecord(3, "3   ab  ") << 659 << "Record 4 (\"3   ab  \")";
        QTest::newRow("empty field") << withRecord(7, "7       ") << 659 << "Record 8 ";
        QTest::newRow("blank inside") << withRecord(0, "1 2 0   ") << 659 << "Record 1 ";
        QTest::newRow("659") << withRecord(658, "658 659 ") << 659 << "position 659";
        QTest::newRow("-1") << withRecord(2, "-1  2   ") << 659 << "position -1";
        QTest::newRow("9999") << withRecord(2, "2   9999") << 659 << "position 9999";
        QTest::newRow("99999 shifts the fields")
            << withRecord(2, "2   99999   ").left(5272) << 659 << "Record 3 ";
        QTest::newRow("past a short list") << withRecord(100, "100 3   ") << 100 << "position 100";
        QTest::newRow("no trick list") << withRecord(1, "1   2   ") << 0 << "empty";
        QTest::newRow("tab") << withRecord(1, "1\t  2   ") << 659 << "Record 2 ";
        QTest::newRow("huge") << unchangedConfig().repeated(13) << 659 << "not read";
    }
    void parseRefused() {
        QFETCH(QString, text);
        QFETCH(int, positions);
        QFETCH(QString, names);
        const ParseResult result = parseOpened(text, positions);
        QVERIFY(!result.ok);
        QVERIFY(result.swaps.isEmpty());
        QVERIFY2(result.error.contains(names), qPrintable(result.error));
    }
};

QTEST_GUILESS_MAIN(TestTrickConfig)
#include "tst_trickconfig.moc"
