#include "store/decimal4.h"
#include "store/heldrows.h"
#include "store/schema.h"

#include <QDate>
#include <QDateTime>
#include <QTest>

using namespace tarvex;
using namespace Qt::StringLiterals;

namespace {

ColumnDef columnOf(const QString& name, ColumnKind kind) {
    return {name, kind, kind == ColumnKind::Text ? 3 : 0, {}, {}};
}

// One column of every kind, in the order of the rows below.
const TableDef& everyKind() {
    static const TableDef table{u"tbEvery"_s,
                                {columnOf(u"id"_s, ColumnKind::AutoId), columnOf(u"Owner"_s, ColumnKind::OwnerId),
                                 columnOf(u"Small"_s, ColumnKind::Int16), columnOf(u"Length"_s, ColumnKind::UInt16),
                                 columnOf(u"Flag"_s, ColumnKind::Boolean), columnOf(u"Moment"_s, ColumnKind::DateTime),
                                 columnOf(u"Day"_s, ColumnKind::Date), columnOf(u"Pct"_s, ColumnKind::Decimal),
                                 columnOf(u"Code"_s, ColumnKind::Text), columnOf(u"Note"_s, ColumnKind::Memo)},
                                u"проверки"_s};
    return table;
}

QVariant whole(qint64 number) {
    return QVariant::fromValue<qint64>(number);
}

// Values in the forms a cursor holds: every column held, every column NULL, and every
// column with a value it cannot hold, kept as stored.
QList<QVariantList> sampleRows() {
    const QVariantList held{whole(7),
                            whole(3),
                            whole(-32768),
                            whole(65535),
                            true,
                            QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)),
                            QDate(2027, 3, 1),
                            QVariant::fromValue(*Decimal4::parse(u"7.5")),
                            u"SU"_s,
                            u"Многострочный\nтекст"_s};
    const QVariantList nulls{whole(8), {}, {}, {}, {}, {}, {}, {}, {}, {}};
    const QVariantList kept{whole(9),        u"три"_s,   2.5, QByteArray("\x01\x02"), u"да"_s, 42,
                            u"2027-13-01"_s, u"много"_s, 1.5, QDate(2027, 1, 1)};
    return {held, nulls, kept};
}

HeldRows sampleHeldRows() {
    HeldRows rows(everyKind());
    for (const QVariantList& values : sampleRows())
        rows.append(values);
    return rows;
}

void requireRow(const HeldRows& rows, int row, const QVariantList& expected) {
    for (int column = 0; column < expected.size(); ++column) {
        const QVariant actual = rows.value(row, column);
        const QByteArray where = "row " + QByteArray::number(row) + ", column " + QByteArray::number(column);
        QVERIFY2(actual.typeId() == expected[column].typeId(), where.constData());
        QVERIFY2(actual == expected[column], where.constData());
    }
    QCOMPARE(rows.row(row), expected);
}

} // namespace

class TestHeldRows : public QObject {
    Q_OBJECT
private slots:
    void giveBackEveryValueAsGiven() {
        const HeldRows rows = sampleHeldRows();
        const QList<QVariantList> expected = sampleRows();
        QCOMPARE(rows.size(), 3);
        for (int row = 0; row < rows.size(); ++row)
            requireRow(rows, row, expected[row]);
    }

    void readHeldCellsTyped() {
        const HeldRows rows = sampleHeldRows();
        const TableDef& table = everyKind();
        const auto column = [&](QStringView name) { return table.columnIndex(name); };
        QCOMPARE(rows.id(0), 7);
        QCOMPARE(rows.number(0, column(u"Small")), -32768);
        QCOMPARE(rows.number(0, column(u"Flag")), 1);
        QCOMPARE(rows.number(0, column(u"Day")), QDate(2027, 3, 1).toJulianDay());
        QCOMPARE(rows.number(0, column(u"Pct")), 75000);
        QCOMPARE(rows.text(0, column(u"Note")), u"Многострочный\nтекст"_s);
        QCOMPARE(rows.moment(0, column(u"Moment")), QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)));
        for (int c = 1; c < table.columns.size(); ++c) {
            QVERIFY(rows.isHeld(0, c));
            QVERIFY(rows.isNull(1, c));
            QVERIFY(!rows.isHeld(2, c) && !rows.isNull(2, c));
        }
        QCOMPARE(rows.wholeNumber(0, column(u"Owner")), 3);
        QCOMPARE(rows.wholeNumber(2, column(u"Owner")), 0); // a kept text that is no number reads as none
    }

    // A value kept as stored follows its row when rows before it go, and when rows are picked.
    void keptValuesFollowTheirRows() {
        HeldRows rows = sampleHeldRows();
        const QList<QVariantList> expected = sampleRows();
        const HeldRows picked = rows.picked({2, 0, 2});
        requireRow(picked, 0, expected[2]);
        requireRow(picked, 1, expected[0]);
        requireRow(picked, 2, expected[2]);

        rows.removeAt(0);
        QCOMPARE(rows.size(), 2);
        requireRow(rows, 0, expected[1]);
        requireRow(rows, 1, expected[2]);
        rows.removeAt(1);
        requireRow(rows, 0, expected[1]);
    }

    // A row written over keeps nothing of its former values.
    void replaceOverwritesEveryForm() {
        HeldRows rows = sampleHeldRows();
        const QList<QVariantList> expected = sampleRows();
        rows.replace(2, expected[0]);
        rows.replace(0, expected[2]);
        rows.replace(1, expected[1]);
        requireRow(rows, 0, expected[2]);
        requireRow(rows, 1, expected[1]);
        requireRow(rows, 2, expected[0]);
    }

    void typedSettersHoldTheirValue() {
        HeldRows rows(everyKind());
        rows.appendNullRow();
        rows.setValue(0, 2, u"kept"_s);
        rows.setWhole(0, 2, 12);
        rows.setWhole(0, 4, 5); // a yes/no column holds any whole number as "not zero"
        rows.setValue(0, 8, 5);
        rows.setText(0, 8, u"ABC"_s);
        QCOMPARE(rows.value(0, 2), whole(12));
        QCOMPARE(rows.value(0, 4), QVariant(true));
        QCOMPARE(rows.value(0, 8), QVariant(u"ABC"_s));
        QVERIFY(rows.isNull(0, 3));
    }
};

QTEST_APPLESS_MAIN(TestHeldRows)
#include "tst_heldrows.moc"
