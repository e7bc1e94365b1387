#include "store/decimal4.h"
#include "store/heldvalue.h"
#include "store/schema.h"

#include <QTest>

#include <limits>

using namespace tarvex;
using namespace Qt::StringLiterals;

namespace {

const ColumnDef& columnOf(const TableDef& table, QStringView name) {
    return table.column(table.columnIndex(name));
}

QVariant decimal(const char* text) {
    return QVariant::fromValue(*Decimal4::parse(QString::fromLatin1(text)));
}

} // namespace

// The rule every number field follows, for values read from the register and values
// about to be stored alike.
class TestHeldValue : public QObject {
    Q_OBJECT
private slots:
    void numberFieldsHoldExactlyWhatFits_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("held");   // the in-memory form when it fits
        QTest::addColumn<QString>("problem"); // empty when it fits

        const QString sumRange = u"вне допустимого диапазона −32768…32767"_s;
        const auto whole = [](qint64 number) { return QVariant::fromValue<qint64>(number); };
        QTest::newRow("sum at its limit")
            << u"tbComm"_s << u"ComSum"_s << QVariant(-32768) << whole(-32768) << QString();
        QTest::newRow("sum past its limit") << u"tbComm"_s << u"ComSum"_s << whole(32768) << QVariant() << sumRange;
        QTest::newRow("sum as a whole real")
            << u"tbComm"_s << u"ComSum"_s << QVariant(500.0) << whole(500) << QString();
        QTest::newRow("sum as a huge real") << u"tbComm"_s << u"ComSum"_s << QVariant(1e300) << QVariant() << sumRange;
        QTest::newRow("sum with a fraction")
            << u"tbComm"_s << u"ComSum"_s << QVariant(7.9) << QVariant() << u"не является целым числом"_s;
        QTest::newRow("sum typed as text")
            << u"tbComm"_s << u"ComSum"_s << QVariant(u" 42 "_s) << whole(42) << QString();
        QTest::newRow("sum typed too large")
            << u"tbComm"_s << u"ComSum"_s << QVariant(u"99999999999999999999"_s) << QVariant() << sumRange;
        QTest::newRow("sum as a lone sign")
            << u"tbComm"_s << u"ComSum"_s << QVariant(u"-"_s) << QVariant() << u"не является целым числом"_s;
        QTest::newRow("sum as a blob") << u"tbComm"_s << u"ComSum"_s << QVariant(QByteArray("5")) << QVariant()
                                       << u"не является целым числом"_s;
        QTest::newRow("length past its limit")
            << u"tbComm"_s << u"ValLen"_s << QVariant(65536) << QVariant() << u"вне допустимого диапазона 0…65535"_s;
        QTest::newRow("owner beyond 32 bits")
            << u"tbComm"_s << u"ComId"_s << whole(4294967297) << whole(4294967297) << QString();
        QTest::newRow("largest unsigned")
            << u"tbComm"_s << u"ComId"_s << QVariant(std::numeric_limits<qulonglong>::max()) << QVariant()
            << u"вне допустимого диапазона −9223372036854775808…9223372036854775807"_s;
        QTest::newRow("yes as any non-zero") << u"tbMain"_s << u"BSP"_s << whole(-1) << QVariant(true) << QString();
        QTest::newRow("no as zero") << u"tbMain"_s << u"Script"_s << whole(0) << QVariant(false) << QString();

        const QString percentRange = u"вне допустимого диапазона −99999999999999.9999…99999999999999.9999"_s;
        QTest::newRow("percent as a real")
            << u"tbComm"_s << u"ComPCT"_s << QVariant(7.5) << decimal("7.5") << QString();
        QTest::newRow("percent rounded to four places")
            << u"tbComm"_s << u"ComPCT"_s << QVariant(0.12345) << decimal("0.1235") << QString();
        QTest::newRow("percent typed with a comma")
            << u"tbComm"_s << u"ComPCT"_s << QVariant(u"0,125"_s) << decimal("0.125") << QString();
        QTest::newRow("percent as the largest integer")
            << u"tbComm"_s << u"ComPCT"_s << whole(99999999999999) << decimal("99999999999999") << QString();
        QTest::newRow("percent typed too large")
            << u"tbComm"_s << u"ComPCT"_s << QVariant(u"99999999999999999999"_s) << QVariant() << percentRange;
        QTest::newRow("percent typed too large with a fraction")
            << u"tbComm"_s << u"ComPCT"_s << QVariant(u"-123456789012345,5"_s) << QVariant() << percentRange;
        QTest::newRow("percent with two separators")
            << u"tbComm"_s << u"ComPCT"_s << QVariant(u"1,2.3"_s) << QVariant() << u"не является числом"_s;
        QTest::newRow("percent one past it")
            << u"tbComm"_s << u"ComPCT"_s << whole(100000000000000) << QVariant() << percentRange;
        QTest::newRow("percent of 64-bit size")
            << u"tbComm"_s << u"ComPCT"_s << whole(std::numeric_limits<qint64>::min()) << QVariant() << percentRange;
        QTest::newRow("percent infinite")
            << u"tbComm"_s << u"ComPCT"_s << QVariant(std::numeric_limits<double>::infinity()) << QVariant()
            << percentRange;
        QTest::newRow("percent NaN") << u"tbComm"_s << u"ComPCT"_s << QVariant(std::numeric_limits<double>::quiet_NaN())
                                     << QVariant() << u"не является числом"_s;
        QTest::newRow("percent as a word")
            << u"tbComm"_s << u"ComPCT"_s << QVariant(u"NaN"_s) << QVariant() << u"не является числом"_s;
    }
    void numberFieldsHoldExactlyWhatFits() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QVariant, held);
        QFETCH(QString, problem);
        const TableDef& definition = table == u"tbMain"_s ? schema::tbMain() : schema::tbComm();
        const ColumnDef& field = columnOf(definition, column);
        const HeldValue result = holdValue(field, value);
        QCOMPARE(result.problem, problem);
        if (problem.isEmpty()) {
            QCOMPARE(result.value, held);
            QCOMPARE(fromStorage(field, value), held);
            QVERIFY(isHeldForm(field, result.value));
            QVERIFY(!checkValue(field, value));
        } else {
            // Kept as given, so the register still shows it; storing it is refused.
            const QVariant kept = fromStorage(field, value);
            QCOMPARE(kept.typeId(), value.typeId());
            QCOMPARE(kept.toString(), value.toString()); // compared as text: NaN equals nothing
            QVERIFY(checkValue(field, value)->endsWith(problem));
        }
    }
};

QTEST_GUILESS_MAIN(TestHeldValue)
#include "tst_heldvalue.moc"
