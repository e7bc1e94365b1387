#include "store/commissionsummary.h"
#include "store/decimal4.h"

#include <QTest>

#include <limits>

using namespace tarvex;
using namespace Qt::StringLiterals;

class TestDecimal4 : public QObject {
    Q_OBJECT
private slots:
    void parsesAndPrintsShortest_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << u"10"_s << qint64(100000) << u"10"_s;
        QTest::newRow("half") << u"7.5"_s << qint64(75000) << u"7.5"_s;
        QTest::newRow("eighth") << u"0.125"_s << qint64(1250) << u"0.125"_s;
        QTest::newRow("trailing zeros") << u"12.0000"_s << qint64(120000) << u"12"_s;
        QTest::newRow("decimal comma") << u"0,25"_s << qint64(2500) << u"0.25"_s;
        QTest::newRow("smallest") << u"0.0001"_s << qint64(1) << u"0.0001"_s;
        QTest::newRow("fifth place rounds up") << u"1.00005"_s << qint64(10001) << u"1.0001"_s;
        QTest::newRow("fifth place rounds down") << u"1.00004"_s << qint64(10000) << u"1"_s;
        QTest::newRow("negative") << u"-3.05"_s << qint64(-30500) << u"-3.05"_s;
        QTest::newRow("no whole part") << u".5"_s << qint64(5000) << u"0.5"_s;
        QTest::newRow("zeros inside the fraction") << u"-0.0102"_s << qint64(-102) << u"-0.0102"_s;
        QTest::newRow("zero") << u"0"_s << qint64(0) << u"0"_s;
    }
    void parsesAndPrintsShortest() {
        QFETCH(QString, input);
        QFETCH(qint64, units);
        QFETCH(QString, text);
        const auto parsed = Decimal4::parse(input);
        QVERIFY(parsed);
        QCOMPARE(parsed->units(), units);
        QCOMPARE(parsed->toText(), text);
    }

    void refusesWhatIsNotANumber_data() {
        QTest::addColumn<QString>("input");
        for (const char* bad : {"", "-", ".", "1.2.3", "7,5%", "abc", "1e3", "100000000000000"})
            QTest::newRow(bad) << QString::fromLatin1(bad);
    }
    void refusesWhatIsNotANumber() {
        QFETCH(QString, input);
        QVERIFY(!Decimal4::parse(input));
    }

    void readsStoredRealsExactly() {
        // Values the database returns as binary reals must not pick up stray digits.
        QCOMPARE(Decimal4::fromDouble(7.1234).toText(), u"7.1234"_s);
        QCOMPARE(Decimal4::fromDouble(0.1 + 0.2).toText(), u"0.3"_s);
        QCOMPARE(Decimal4::fromDouble(-2.675).toText(), u"-2.675"_s);
    }

    void printsTheWidestValues() {
        QCOMPARE(Decimal4::fromUnits(std::numeric_limits<std::int64_t>::max()).toText(), u"922337203685477.5807"_s);
        QCOMPARE(Decimal4::fromUnits(std::numeric_limits<std::int64_t>::min()).toText(), u"-922337203685477.5808"_s);
    }

    void wholeNumbersReadAsQtWritesThem() {
        for (std::int64_t number : {std::int64_t(0), std::int64_t(7), std::int64_t(-12), std::int64_t(100000),
                                    std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()})
            QCOMPARE(wholeNumberText(number), QString::number(number));
    }

    void missingPercentageReadsAsZero() {
        QCOMPARE(percentText(std::nullopt), u"0"_s);
        QCOMPARE(percentText(Decimal4::fromUnits(75000)), u"7.5"_s);
    }

    void summaryHasOneLinePerConditionEndedByCarriageReturn() {
        ConditionRecord percent;
        percent.comCondition = u"Продажа из Москвы"_s;
        percent.comPct = Decimal4::fromUnits(100000);
        percent.fee = u"200"_s;
        ConditionRecord sum;
        sum.comCondition = u"Эконом"_s;
        sum.comSum = 500;
        sum.comVal = u"EUR"_s;
        ConditionRecord both;
        both.comPct = Decimal4::fromUnits(75000);
        both.comSum = 500;
        both.comVal = u"RUB"_s;

        const CommissionSummary summary = summarizeConditions({percent, sum, both});
        QCOMPARE(summary.commission, u"Продажа из Москвы - 10%\rЭконом - 500EUR\r - 7.5%500RUB\r"_s);
        QCOMPARE(summary.fee, u"Продажа из Москвы - 200\r\r\r"_s);
        QCOMPARE(summarizeConditions({}).commission, QString());
    }
};

QTEST_GUILESS_MAIN(TestDecimal4)
#include "tst_decimal4.moc"
