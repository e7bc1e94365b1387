#include "store/cursormodel.h"
#include "store/rowsortkeys.h"
#include "store/storeerror.h"
#include "store/tablewriter.h"
#include "support/registerfixture.h"
#include "support/testregister.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

QStringList textsInView(const TableCursor& table, int column) {
    QStringList texts;
    for (int row = 0; row < table.recordCount(); ++row)
        texts << table.valueAt(row, column).toString();
    return texts;
}

QStringList codesInView(const TableCursor& table) {
    return textsInView(table, 1);
}

SearchFilter searchFor(const QString& text) {
    return {
        text,
        {u"AirCode"_s, u"AirName"_s, u"Commision"_s, u"Fee"_s, u"Comment"_s, u"AccCode"_s, u"Dog"_s, u"ContrAgent"_s}};
}

} // namespace

// Every case runs on a register file and on a register on a server.
class TestTableCursor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { addEngineRows(); }
    void init() {
        TARVEX_NEW_TEST_REGISTER(m_register, m_server);
        m_store = std::make_unique<RegisterStore>();
        m_register->open(*m_store);
    }
    void cleanup() {
        m_store.reset();
        m_register.reset();
    }

    void insertPostAndCancelMoveThroughTheStates() {
        TableCursor& airlines = m_store->airlines();
        QSignalSpy states(&airlines, &TableCursor::stateChanged);
        QCOMPARE(airlines.state(), TableCursor::State::Browse);

        airlines.insert();
        QCOMPARE(airlines.state(), TableCursor::State::Insert);
        QCOMPARE(airlines.recordCount(), 1); // the pending row is visible
        airlines.setValue(u"AirCode", u"SU"_s);
        airlines.cancel();
        QCOMPARE(airlines.state(), TableCursor::State::Browse);
        QCOMPARE(airlines.recordCount(), 0);

        airlines.insert();
        airlines.setValue(u"AirCode", u"SU"_s);
        airlines.setValue(u"AccCode", 555); // held afterwards as the store gives it back: text
        airlines.post();
        QCOMPARE(airlines.recordCount(), 1);
        QCOMPARE(airlines.value(u"AccCode"), QVariant(u"555"_s));
        QVERIFY(airlines.value(u"id").toLongLong() > 0);

        airlines.edit();
        airlines.setValue(u"AirName", u"Аэрофлот"_s);
        QCOMPARE(airlines.text(u"AirName"), u"Аэрофлот"_s); // the pending value is what the row shows
        airlines.cancel();
        QCOMPARE(airlines.text(u"AirName"), QString());
        QCOMPARE(states.count(), 6);

        QVERIFY_THROWS_EXCEPTION(StoreError, airlines.setValue(u"AirName", u"x"_s)); // not editing
    }

    void valueThatDoesNotFitIsRefusedAndStaysPending_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("named");
        QTest::newRow("code of 4") << u"tbMain"_s << u"AirCode"_s << QVariant(u"ABCD"_s) << u"AirCode"_s;
        QTest::newRow("name of 51") << u"tbMain"_s << u"AirName"_s << QVariant(QString(51, u'Я')) << u"AirName"_s;
        QTest::newRow("sum too large") << u"tbComm"_s << u"ComSum"_s << QVariant(32768) << u"ComSum"_s;
        QTest::newRow("sum too small") << u"tbComm"_s << u"ComSum"_s << QVariant(-32769) << u"ComSum"_s;
        QTest::newRow("negative length") << u"tbComm"_s << u"ValLen"_s << QVariant(-1) << u"ValLen"_s;
        QTest::newRow("length too large") << u"tbComm"_s << u"ValLen"_s << QVariant(65536) << u"ValLen"_s;
        QTest::newRow("sum not a number") << u"tbComm"_s << u"ComSum"_s << QVariant(u"много"_s) << u"ComSum"_s;
        QTest::newRow("currency of 4") << u"tbComm"_s << u"ComVal"_s << QVariant(u"RUBL"_s) << u"ComVal"_s;
    }
    void valueThatDoesNotFitIsRefusedAndStaysPending() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QString, named);
        TableCursor& cursor = table == u"tbMain"_s ? m_store->airlines() : m_store->conditions();
        cursor.insert();
        cursor.setValue(column, value);
        try {
            cursor.post();
            QFAIL("the row was stored");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains(named), qPrintable(error.message()));
        }
        QCOMPARE(cursor.state(), TableCursor::State::Insert);
        QCOMPARE(cursor.value(column), value);
        QSqlQuery count(u"SELECT COUNT(*) FROM %1"_s.arg(table), m_store->connection());
        QVERIFY(count.next());
        QCOMPARE(count.value(0).toInt(), 0);
    }

    void limitsThemselvesAreAccepted() {
        TableCursor& rules = m_store->conditions();
        rules.insert();
        rules.setValue(u"ComSum", -32768);
        rules.setValue(u"ValLen", 65535);
        rules.setValue(u"ComVal", u"ЕВР"_s);
        rules.post();
        rules.insert();
        rules.setValue(u"ComSum", 32767);
        rules.setValue(u"ValLen", 0);
        rules.post();
        m_store->conditions().refresh();
        QCOMPARE(m_store->conditions().recordCount(), 2);
    }

    void nullStaysApartFromEmptyAndZero() {
        TableCursor& rules = m_store->conditions();
        rules.insert();
        rules.setValue(u"ComId", 1);
        rules.setValue(u"ComCondition", u""_s);
        rules.setValue(u"ComSum", 0);
        rules.setValue(u"ComPCT", QVariant::fromValue(Decimal4::fromUnits(0)));
        rules.post();
        rules.insert();
        rules.setValue(u"ComId", 2);
        rules.post();

        RegisterStore reopened;
        m_register->open(reopened);
        TableCursor& stored = reopened.conditions();
        stored.first();
        QVERIFY(!stored.value(u"ComCondition").isNull());
        QCOMPARE(stored.value(u"ComCondition").toString(), QString());
        QCOMPARE(stored.value(u"ComSum").toLongLong(), 0);
        QVERIFY(!stored.value(u"ComPCT").isNull());
        stored.next();
        QVERIFY(stored.value(u"ComCondition").isNull());
        QVERIFY(stored.value(u"ComSum").isNull());
        QVERIFY(stored.value(u"ComPCT").isNull());
        QVERIFY(stored.value(u"ValLen").isNull());
    }

    void sortsByCodePointWithTiesInIdOrder() {
        // Stored in shuffled order; two airlines share a code.
        const QStringList codes{u"Б"_s, u"b"_s, u"SU"_s, u"A"_s, u"S7"_s, u"SU"_s, u""_s, u"a"_s};
        QList<qint64> ids;
        for (int i = 0; i < codes.size(); ++i)
            ids << addAirline(*m_store, airline(codes[i], u"N%1"_s.arg(i)));
        m_store->airlines().setSort(u"[AirCode] ASC");
        QCOMPARE(codesInView(m_store->airlines()),
                 (QStringList{u""_s, u"A"_s, u"S7"_s, u"SU"_s, u"SU"_s, u"a"_s, u"b"_s, u"Б"_s}));
        // The two SU rows keep the order they were stored in.
        QCOMPARE(m_store->airlines().valueAt(3, 0).toLongLong(), ids[2]);
        QCOMPARE(m_store->airlines().valueAt(4, 0).toLongLong(), ids[5]);

        m_store->airlines().setSort(u"AirCode DESC");
        QCOMPARE(codesInView(m_store->airlines()).first(), u"Б"_s);
        m_store->airlines().setSort(u"");
        QCOMPARE(codesInView(m_store->airlines()), codes); // store order
    }

    void sortsEachKindOfColumn_data() {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QStringList>("order"); // of the airlines' codes, or of the conditions' wordings
        QTest::newRow("date and time") << u"DogDate ASC"_s << QStringList{u"S7"_s, u"UT"_s, u"U6"_s, u"SU"_s};
        QTest::newRow("date and time, descending")
            << u"DogDate DESC"_s << QStringList{u"SU"_s, u"U6"_s, u"UT"_s, u"S7"_s};
        QTest::newRow("yes or no") << u"BSP ASC"_s << QStringList{u"S7"_s, u"U6"_s, u"SU"_s, u"UT"_s};
        QTest::newRow("yes or no, descending") << u"BSP DESC"_s << QStringList{u"SU"_s, u"UT"_s, u"S7"_s, u"U6"_s};
        QTest::newRow("percentage") << u"ComPCT ASC"_s << QString(u"bdeafc"_s).split(u""_s, Qt::SkipEmptyParts);
        QTest::newRow("percentage, descending")
            << u"ComPCT DESC"_s << QString(u"cafebd"_s).split(u""_s, Qt::SkipEmptyParts);
        QTest::newRow("sum") << u"ComSum ASC"_s << QString(u"acedfb"_s).split(u""_s, Qt::SkipEmptyParts);
        QTest::newRow("sum, descending") << u"ComSum DESC"_s << QString(u"bdface"_s).split(u""_s, Qt::SkipEmptyParts);
        QTest::newRow("date") << u"ComFrom ASC"_s << QString(u"bfcdae"_s).split(u""_s, Qt::SkipEmptyParts);
        QTest::newRow("date, descending") << u"ComFrom DESC"_s << QString(u"aedcbf"_s).split(u""_s, Qt::SkipEmptyParts);
        QTest::newRow("memo, descending")
            << u"ComCondition DESC"_s << QString(u"fedcba"_s).split(u""_s, Qt::SkipEmptyParts);
    }
    // NULL sorts first, numbers and days by value, not as their texts; ties keep the order
    // stored in either direction.
    void sortsEachKindOfColumn() {
        QFETCH(QString, sort);
        QFETCH(QStringList, order);
        ConditionRecord f = percentCondition(u"f"_s, "7.5");
        f.comSum = 20;
        addAirline(*m_store, inBsp(airline(u"SU"_s, u"Аэрофлот"_s)),
                   {inForce(percentCondition(u"a"_s, "7.5"), QDate(2027, 3, 1), {}),
                    sumCondition(u"b"_s, 100, u"EUR"_s),
                    inForce(percentCondition(u"c"_s, "10"), QDate(2026, 12, 31), {}),
                    inForce(sumCondition(u"d"_s, 20, u"EUR"_s), QDate(2027, 1, 15), {}),
                    inForce(percentCondition(u"e"_s, "2.25"), QDate(2027, 3, 1), {}), f});
        addAirline(*m_store, airline(u"S7"_s, u"Сибирь"_s));
        addAirline(*m_store, inBsp(airline(u"UT"_s, u"ЮТэйр"_s)));
        addAirline(*m_store, airline(u"U6"_s, u"Уральские"_s));
        TableCursor& airlines = m_store->airlines();
        const QList<QPair<QString, QDateTime>> endings = {{u"SU"_s, QDateTime(QDate(2027, 5, 1), QTime(10, 0))},
                                                          {u"UT"_s, QDateTime(QDate(2026, 1, 1), QTime(0, 0))},
                                                          {u"U6"_s, QDateTime(QDate(2027, 5, 1), QTime(9, 30))}};
        for (const auto& [code, ending] : endings) {
            airlines.setCurrentRow(int(codesInView(airlines).indexOf(code)));
            airlines.edit();
            airlines.setValue(u"DogDate", ending);
            airlines.post();
        }

        TableCursor& cursor = sort.startsWith(u"Com"_s) ? m_store->conditions() : airlines;
        cursor.setSort(sort);
        QCOMPARE(
            textsInView(cursor, cursor.table().columnIndex(sort.startsWith(u"Com"_s) ? u"ComCondition" : u"AirCode")),
            order);
    }

    void codePointOrderPutsSupplementaryCharactersLast() {
        QVERIFY(compareCodePoints(u"\U0001F600", u"\uFFFD") > 0);
        QVERIFY(compareCodePoints(u"A", u"AB") < 0);
        QCOMPARE(compareCodePoints(u"SU", u"SU"), 0);
    }

    void searchIsLiteralAndIgnoresCase_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("latin, other case") << u"su"_s << QStringList{u"SU"_s};
        QTest::newRow("cyrillic, other case") << u"АЭРО"_s << QStringList{u"SU"_s};
        QTest::newRow("cyrillic in memo") << u"бизнес"_s << QStringList{u"S7"_s};
        QTest::newRow("per cent sign") << u"5%"_s << QStringList{u"U6"_s};
        QTest::newRow("underscore") << u"_"_s << QStringList{u"UT"_s};
        QTest::newRow("apostrophe") << u"O'H"_s << QStringList{u"UT"_s};
        QTest::newRow("asterisk") << u"*"_s << QStringList{u"U6"_s};
        QTest::newRow("counterparty") << u"агент"_s << QStringList{u"S7"_s};
        QTest::newRow("yo, other case") << u"ёЛКА"_s << QStringList{u"UT"_s};
        QTest::newRow("supplementary, other case") << u"\U00010428"_s << QStringList{u"UT"_s};
        QTest::newRow("supplementary, same case") << u"\U00010400"_s << QStringList{u"UT"_s};
        QTest::newRow("nothing") << u"zzz"_s << QStringList{};
        QTest::newRow("end of one field and start of the next") << u"suаэро"_s << QStringList{};
        QTest::newRow("NUL character") << QString(QChar(u'\0')) << QStringList{};
    }
    void searchIsLiteralAndIgnoresCase() {
        QFETCH(QString, text);
        QFETCH(QStringList, codes);
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s));
        addAirline(*m_store, airline(u"S7"_s, u"Сибирь"_s, u"421"_s));
        addAirline(*m_store, airline(u"U6"_s, u"Уральские*"_s, u"262"_s));
        addAirline(*m_store, withComment(airline(u"UT"_s, u"O'Hare_Air"_s, u"298"_s), u"Ёлка \U00010400"_s));
        TableCursor& airlines = m_store->airlines();
        airlines.setCurrentRow(0); // S7
        airlines.edit();
        airlines.setValue(u"Commision", u"Бизнес - 7%\r"_s);
        airlines.setValue(u"ContrAgent", u"Генеральный АГЕНТ"_s);
        airlines.post();
        airlines.setCurrentRow(2); // U6
        airlines.edit();
        airlines.setValue(u"Commision", u"Все - 5%\r"_s);
        airlines.post();

        airlines.setFilter(searchFor(text));
        airlines.setFiltered(true);
        QCOMPARE(codesInView(airlines), codes);
        QCOMPARE(airlines.recordCount(), codes.size());
        airlines.first();
        int walked = 0;
        while (!airlines.eof()) {
            ++walked;
            airlines.next();
        }
        QCOMPARE(walked, codes.size());

        airlines.setFiltered(false);
        QCOMPARE(codesInView(airlines), (QStringList{u"S7"_s, u"SU"_s, u"U6"_s, u"UT"_s}));
    }

    // The sort order is kept across searches; every change of the rows must still show in it.
    void searchesFollowEditsInsertsDeletesAndRefresh() {
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
        addAirline(*m_store, airline(u"S7"_s, u"Сибирь"_s));
        addAirline(*m_store, airline(u"UT"_s, u"ЮТэйр"_s));
        TableCursor& airlines = m_store->airlines();
        airlines.setSort(u"AirCode ASC");
        airlines.setFilter(searchFor(u"u"_s));
        airlines.setFiltered(true);
        QCOMPARE(codesInView(airlines), (QStringList{u"SU"_s, u"UT"_s}));

        airlines.first(); // SU takes a code that sorts last
        airlines.edit();
        airlines.setValue(u"AirCode", u"ZU"_s);
        airlines.post();
        QCOMPARE(codesInView(airlines), (QStringList{u"UT"_s, u"ZU"_s}));
        QCOMPARE(airlines.text(u"AirCode"), u"ZU"_s);
        airlines.setFilter(searchFor(u"z"_s)); // the edited code is searched, not the old one
        QCOMPARE(codesInView(airlines), QStringList{u"ZU"_s});
        airlines.setFilter(searchFor(u"su"_s));
        QCOMPARE(codesInView(airlines), QStringList{});
        airlines.setFiltered(false);
        QCOMPARE(codesInView(airlines), (QStringList{u"S7"_s, u"UT"_s, u"ZU"_s}));

        airlines.insert();
        airlines.setValue(u"AirCode", u"BU"_s);
        airlines.post();
        airlines.setFilter(searchFor(u"U"_s));
        airlines.setFiltered(true);
        QCOMPARE(codesInView(airlines), (QStringList{u"BU"_s, u"UT"_s, u"ZU"_s}));
        QCOMPARE(airlines.text(u"AirCode"), u"BU"_s);

        {
            RegisterStore other;
            m_register->open(other);
            other.airlines().setSort(u"AirCode ASC");
            other.airlines().setCurrentRow(2); // UT, after BU and S7
            other.airlines().edit();
            other.airlines().setValue(u"AirCode", u"AU"_s);
            other.airlines().post();
        }
        airlines.refresh();
        QCOMPARE(codesInView(airlines), (QStringList{u"AU"_s, u"BU"_s, u"ZU"_s}));
        QCOMPARE(airlines.text(u"AirCode"), u"BU"_s); // still current
        airlines.setFilter(searchFor(u"ut"_s));
        QCOMPARE(codesInView(airlines), QStringList{});

        airlines.setFilter(searchFor(u"u"_s));
        airlines.setCurrentRow(1); // BU
        airlines.remove();
        airlines.setFilter(SearchFilter{u"Ю"_s, {u"AirName"_s}}); // another set of columns
        QCOMPARE(codesInView(airlines), QStringList{u"AU"_s});
        airlines.setFiltered(false);
        QCOMPARE(codesInView(airlines), (QStringList{u"AU"_s, u"S7"_s, u"ZU"_s}));
        airlines.setSort(u"AirCode DESC");
        airlines.setFilter(searchFor(u"u"_s));
        airlines.setFiltered(true);
        QCOMPARE(codesInView(airlines), (QStringList{u"ZU"_s, u"AU"_s}));
    }

    // Typing on looks only at the rows the last search found, and at those changed since.
    void aLongerSearchNarrowsTheLastOne() {
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
        addAirline(*m_store, airline(u"S7"_s, u"Сибирь"_s));
        addAirline(*m_store, airline(u"UT"_s, u"ЮТэйр"_s));
        TableCursor& airlines = m_store->airlines();
        auto search = [&](const QString& text) {
            airlines.setFilter(searchFor(text));
            airlines.setFiltered(true);
            return codesInView(airlines);
        };
        auto change = [&](const QString& code, const QString& name) {
            airlines.setFiltered(false);
            airlines.setCurrentRow(int(codesInView(airlines).indexOf(code)));
            airlines.edit();
            airlines.setValue(u"AirName", name);
            airlines.post();
        };
        QCOMPARE(search(u"s"_s), (QStringList{u"S7"_s, u"SU"_s}));
        change(u"UT"_s, u"Sunny"_s);
        QCOMPARE(search(u"su"_s), (QStringList{u"SU"_s, u"UT"_s})); // found by its new name

        airlines.setFiltered(false);
        airlines.insert();
        airlines.setValue(u"AirCode", u"ZZ"_s);
        airlines.setValue(u"AirName", u"Superjet"_s);
        airlines.post();
        QCOMPARE(search(u"sup"_s), QStringList{u"ZZ"_s}); // added since

        QCOMPARE(search(u"s7"_s), QStringList{u"S7"_s});
        airlines.setFiltered(false);
        airlines.setCurrentRow(int(codesInView(airlines).indexOf(u"SU"_s))); // held before S7
        airlines.remove();
        QCOMPARE(search(u"s7"_s), QStringList{u"S7"_s});

        {
            RegisterStore other;
            m_register->open(other);
            other.airlines().setSort(u"AirCode ASC");
            other.airlines().setCurrentRow(1); // UT
            other.airlines().edit();
            other.airlines().setValue(u"AirName", u"S7 partner"_s);
            other.airlines().post();
        }
        airlines.setFiltered(false);
        airlines.refresh();
        QCOMPARE(search(u"s7"_s), (QStringList{u"S7"_s, u"UT"_s}));
    }

    void conditionFilterShowsOneAirline() {
        const qint64 first = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s),
                                        {percentCondition(u"a"_s, "5"), percentCondition(u"b"_s, "6")});
        const qint64 second = addAirline(*m_store, airline(u"S7"_s, u"Сибирь"_s), {percentCondition(u"c"_s, "7")});
        TableCursor& rules = m_store->conditions();
        rules.setFilter(EqualsFilter{u"ComId"_s, first});
        rules.setFiltered(true);
        QCOMPARE(rules.recordCount(), 2);
        rules.setFilter(EqualsFilter{u"ComId"_s, second});
        QCOMPARE(rules.recordCount(), 1);
        QCOMPARE(rules.text(u"ComCondition"), u"c"_s);
        rules.setFilter(EqualsFilter{u"ComId"_s, 0});
        QCOMPARE(rules.recordCount(), 0);
        QVERIFY(rules.eof());
    }

    void idSetFilterShowsTheListedAirlines() {
        const qint64 su = addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
        addAirline(*m_store, airline(u"S7"_s, u"Сибирь"_s));
        const qint64 ut = addAirline(*m_store, airline(u"UT"_s, u"ЮТэйр"_s));
        TableCursor& airlines = m_store->airlines();
        airlines.setFilter(IdSetFilter{u"id"_s, {su, ut}});
        airlines.setFiltered(true);
        QCOMPARE(codesInView(airlines), (QStringList{u"SU"_s, u"UT"_s}));
        airlines.setFilter(IdSetFilter{u"id"_s, {}});
        QCOMPARE(airlines.recordCount(), 0);
    }

    void refreshSeesAnotherConnectionsChanges() {
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
        addAirline(*m_store, airline(u"S7"_s, u"Сибирь"_s));
        TableCursor& airlines = m_store->airlines();
        airlines.setCurrentRow(1); // SU
        const qint64 current = airlines.value(u"id").toLongLong();

        {
            RegisterStore other;
            m_register->open(other);
            other.airlines().first(); // S7
            other.airlines().edit();
            other.airlines().setValue(u"AirName", u"S7 Airlines"_s);
            other.airlines().post();
            addAirline(other, airline(u"UT"_s, u"ЮТэйр"_s));
        }
        QCOMPARE(airlines.valueAt(0, 2).toString(), u"Сибирь"_s);
        QSignalSpy resets(&airlines, &TableCursor::reset);
        airlines.refresh();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(airlines.valueAt(0, 2).toString(), u"S7 Airlines"_s);
        QCOMPARE(airlines.recordCount(), 2); // rows added elsewhere come with the next opening
        QCOMPARE(airlines.value(u"id").toLongLong(), current);
    }

    void editingTwoCopiesKeepsBothColumns() {
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
        RegisterStore other;
        m_register->open(other);
        other.airlines().first();
        other.airlines().edit();
        other.airlines().setValue(u"Comment", u"из другой копии"_s);
        other.airlines().post();

        m_store->airlines().first();
        m_store->airlines().edit();
        m_store->airlines().setValue(u"AirName", u"Aeroflot"_s);
        m_store->airlines().post();
        m_store->airlines().refresh();
        QCOMPARE(m_store->airlines().text(u"Comment"), u"из другой копии"_s);
        QCOMPARE(m_store->airlines().text(u"AirName"), u"Aeroflot"_s);
    }

    // Two copies edit the same airline: a save that would overwrite a field the other copy
    // changed since this one read the row is refused, and the row then shows what is stored.
    void savingOverAnotherCopysChangeIsRefused_data() {
        QTest::addColumn<QString>("otherField");
        QTest::addColumn<QVariant>("otherValue");
        QTest::addColumn<QString>("ownField");
        QTest::addColumn<QVariant>("ownValue");
        QTest::addColumn<bool>("refused");
        const QVariant aeroflot(u"Aeroflot"_s);
        QTest::newRow("same field") << u"AirName"_s << QVariant(u"Аэрофлот ПАО"_s) << u"AirName"_s << aeroflot << true;
        QTest::newRow("same field emptied") << u"AirName"_s << QVariant() << u"AirName"_s << aeroflot << true;
        QTest::newRow("same field, same new value") << u"AirName"_s << aeroflot << u"AirName"_s << aeroflot << false;
        QTest::newRow("another field") << u"Comment"_s << QVariant(u"из другой копии"_s) << u"AirName"_s << aeroflot
                                       << false;
        QTest::newRow("a flag and a text")
            << u"Script"_s << QVariant(true) << u"Comment"_s << QVariant(u"ок"_s) << false;
    }
    void savingOverAnotherCopysChangeIsRefused() {
        QFETCH(QString, otherField);
        QFETCH(QVariant, otherValue);
        QFETCH(QString, ownField);
        QFETCH(QVariant, ownValue);
        QFETCH(bool, refused);
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
        TableCursor& airlines = m_store->airlines();
        airlines.first();
        airlines.edit(); // this copy read the row before the other one changed it
        {
            RegisterStore other;
            m_register->open(other);
            other.airlines().first();
            other.airlines().edit();
            other.airlines().setValue(otherField, otherValue);
            other.airlines().post();
        }
        airlines.setValue(ownField, ownValue);
        bool wasRefused = false;
        try {
            airlines.post();
        } catch (const RowChangedElsewhere& error) {
            wasRefused = true;
            const TableDef& table = schema::tbMain();
            QVERIFY2(error.message().contains(fieldName(table.column(table.columnIndex(otherField)))),
                     qPrintable(error.message()));
            QVERIFY2(error.message().contains(u"не сохранены"_s), qPrintable(error.message()));
        }
        QCOMPARE(wasRefused, refused);
        QCOMPARE(airlines.state(), TableCursor::State::Browse);
        // The other copy's change is never lost; a refused copy shows the stored row, a
        // saved one its own value.
        RegisterStore reread;
        m_register->open(reread);
        reread.airlines().first();
        QCOMPARE(reread.airlines().value(otherField), otherValue);
        if (refused) {
            for (const QString& field : {u"AirName"_s, u"Comment"_s, u"Script"_s})
                QCOMPARE(airlines.value(field), reread.airlines().value(field));
        } else {
            QCOMPARE(reread.airlines().value(ownField), ownValue);
            QCOMPARE(airlines.value(ownField), ownValue);
        }
    }

    void savingARowAnotherCopyDeletedIsRefused() {
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
        m_store->airlines().first();
        m_store->airlines().edit();
        {
            RegisterStore other;
            m_register->open(other);
            other.airlines().first();
            other.deleteCurrentAirline();
        }
        m_store->airlines().setValue(u"AirName", u"Aeroflot"_s);
        QVERIFY_THROWS_EXCEPTION(StoreError, m_store->airlines().post());
        QCOMPARE(m_store->airlines().state(), TableCursor::State::Edit); // the change stays, to be copied elsewhere
    }

    void signalsLetAViewFollow() {
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
        TableCursor& airlines = m_store->airlines();
        QSignalSpy inserted(&airlines, &TableCursor::rowInserted);
        QSignalSpy removed(&airlines, &TableCursor::rowRemoved);
        QSignalSpy changed(&airlines, &TableCursor::rowChanged);
        QSignalSpy current(&airlines, &TableCursor::currentRowChanged);
        airlines.insert();
        QCOMPARE(inserted.count(), 1);
        airlines.setValue(u"AirCode", u"AA"_s);
        QCOMPARE(changed.count(), 1);
        airlines.post();
        QCOMPARE(airlines.text(u"AirCode"), u"AA"_s); // still current after taking its sorted place
        QCOMPARE(airlines.currentRow(), 0);
        airlines.remove();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(airlines.recordCount(), 1);
        QCOMPARE(airlines.text(u"AirCode"), u"SU"_s);
        QVERIFY(current.count() >= 3);
    }

    void anItemViewCanFollowEveryChange() {
        CursorModel model(m_store->airlines());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s));
        addAirline(*m_store, airline(u"S7"_s, u"Сибирь"_s));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), u"Код"_s);
        QCOMPARE(model.index(0, 0).data().toString(), u"S7"_s);

        TableCursor& airlines = m_store->airlines();
        airlines.insert();
        airlines.setValue(u"AirCode", u"AA"_s);
        QCOMPARE(model.index(airlines.currentRow(), 0).data().toString(), u"AA"_s); // the pending value
        airlines.cancel();
        airlines.setFilter(SearchFilter{u"сиб"_s, {u"AirName"_s}});
        airlines.setFiltered(true);
        QCOMPARE(model.rowCount(), 1);
        airlines.setFiltered(false);
        airlines.setSort(u"AirCode DESC");
        QCOMPARE(model.index(0, 0).data().toString(), u"SU"_s);
        airlines.first();
        airlines.remove();
        airlines.refresh();
        QCOMPARE(model.rowCount(), 1);
    }

    // A view of some columns reads those alone, in the order asked for.
    void aModelOfSomeColumnsHasThoseAlone() {
        CursorModel model(m_store->airlines(), {u"AccCode"_s, u"AirCode"_s});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        addAirline(*m_store, airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s));
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), u"IATA"_s);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), u"Код"_s);
        QCOMPARE(model.index(0, 0).data().toString(), u"555"_s);
        QCOMPARE(model.index(0, 1).data().toString(), u"SU"_s);
        TableCursor& airlines = m_store->airlines();
        airlines.edit();
        airlines.setValue(u"AirCode", u"S7"_s);
        QCOMPARE(model.index(0, 1).data().toString(), u"S7"_s);
        airlines.cancel();
    }

    void deletingAnAirlineTakesItsOwnConditionsOnly() {
        // Two airlines share a code: the conditions of the other one must survive.
        const qint64 kept = addAirline(*m_store, airline(u"SU"_s, u"Первая"_s), {percentCondition(u"keep"_s, "1")});
        const qint64 gone = addAirline(
            *m_store, airline(u"SU"_s, u"Вторая"_s),
            {percentCondition(u"a"_s, "1"), percentCondition(u"b"_s, "2"), sumCondition(u"c"_s, 5, u"EUR"_s)});
        QSqlQuery fee(m_store->connection());
        QVERIFY(fee.exec(u"INSERT INTO tbFee (FeeId, FeeCondition) VALUES (%1, 'x'), (%2, 'y')"_s.arg(kept).arg(gone)));

        m_store->airlines().setCurrentRow(1);
        QCOMPARE(m_store->airlines().value(u"id").toLongLong(), gone);
        m_store->deleteCurrentAirline();

        auto count = [&](const QString& sql) {
            QSqlQuery query(sql, m_store->connection());
            return query.next() ? query.value(0).toInt() : -1;
        };
        QCOMPARE(count(u"SELECT COUNT(*) FROM tbComm WHERE ComId = %1"_s.arg(gone)), 0);
        QCOMPARE(count(u"SELECT COUNT(*) FROM tbFee WHERE FeeId = %1"_s.arg(gone)), 0);
        QCOMPARE(count(u"SELECT COUNT(*) FROM tbComm WHERE ComId = %1"_s.arg(kept)), 1);
        QCOMPARE(count(u"SELECT COUNT(*) FROM tbFee WHERE FeeId = %1"_s.arg(kept)), 1);
        QCOMPARE(m_store->airlines().recordCount(), 1);
        QCOMPARE(m_store->conditions().recordCount(), 1); // the cached rows follow the store
        QCOMPARE(m_store->airlines().value(u"id").toLongLong(), kept);
    }

private:
    PostgresServer m_server;
    std::unique_ptr<TestRegister> m_register;
    std::unique_ptr<RegisterStore> m_store;
};

QTEST_GUILESS_MAIN(TestTableCursor)
#include "tst_tablecursor.moc"
