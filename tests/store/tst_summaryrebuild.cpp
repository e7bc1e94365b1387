#include "support/registerfixture.h"
#include "support/testregister.h"

#include "store/airlineselection.h"
#include "store/conditioncopy.h"
#include "store/registerstore.h"
#include "store/storeerror.h"
#include "store/summaryrebuild.h"

#include <QLocale>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvex {

using testing::addAirline;
using testing::airline;
using testing::inForce;
using testing::percentCondition;
using testing::sumCondition;

namespace {

struct StoredSummary {
    QString commission;
    QString fee;
};

// What the register file holds, read past every cursor.
StoredSummary storedSummary(RegisterStore& store, qint64 airlineId) {
    QSqlQuery query(store.connection());
    query.prepare(u"SELECT Commision, Fee FROM tbMain WHERE id = ?"_s);
    query.addBindValue(airlineId);
    if (!query.exec() || !query.next())
        return {u"<missing>"_s, u"<missing>"_s};
    return {query.value(0).toString(), query.value(1).toString()};
}

QString storedText(RegisterStore& store, qint64 airlineId, const QString& column) {
    QSqlQuery query(store.connection());
    query.prepare(u"SELECT %1 FROM tbMain WHERE id = ?"_s.arg(column));
    query.addBindValue(airlineId);
    return query.exec() && query.next() ? query.value(0).toString() : u"<missing>"_s;
}

ConditionRecord withFee(ConditionRecord condition, const QString& fee) {
    condition.fee = fee;
    return condition;
}

} // namespace

// Every case runs on a register file and on a register on a server.
class SummaryRebuildTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { testing::addEngineRows(); }
    void init() { TARVEX_NEW_TEST_REGISTER(m_register, m_server); }
    void cleanup() { m_register.reset(); }
    void textsFollowTheConditions_data();
    void textsFollowTheConditions();
    void decimalCommaLocaleStillWritesFullStop();
    void pendingAirlineChangesAreStoredWithTheTexts();
    void newAirlineIsStoredAndGetsEmptyTexts();
    void otherCurrentAirlineIsLeftAlone();
    void airlineLeavingTheSearchKeepsItsOwnTexts();
    void deletingTheOnlyConditionEmptiesTheTexts();
    void duplicateBelongsToTheSameAirline();
    void selectAirlineBringsBackARowTheSearchHides();
    void twoCopiesOnOneFile();

private:
    testing::PostgresServer m_server;
    std::unique_ptr<testing::TestRegister> m_register;
};

void SummaryRebuildTest::textsFollowTheConditions_data() {
    QTest::addColumn<ConditionList>("conditions");
    QTest::addColumn<QString>("commission");
    QTest::addColumn<QString>("fee");

    QTest::newRow("no conditions") << ConditionList{} << QString() << QString();
    QTest::newRow("percent and sum, one fee")
        << ConditionList{withFee(percentCondition(u"Продажа из Москвы"_s, "10"), u"200"_s),
                         sumCondition(u"Продажа из Питера"_s, 500, u"EUR"_s)}
        << u"Продажа из Москвы - 10%\rПродажа из Питера - 500EUR\r"_s << u"Продажа из Москвы - 200\r\r"_s;
    QTest::newRow("empty wording") << ConditionList{percentCondition({}, "7.5")} << u" - 7.5%\r"_s << u"\r"_s;
    QTest::newRow("whole percent") << ConditionList{percentCondition(u"A"_s, "12.0")} << u"A - 12%\r"_s << u"\r"_s;
    QTest::newRow("an eighth") << ConditionList{percentCondition(u"A"_s, "0.125")} << u"A - 0.125%\r"_s << u"\r"_s;
    ConditionRecord both = percentCondition(u"Оба"_s, "7.5");
    both.comSum = 500;
    both.comVal = u"RUB"_s;
    QTest::newRow("percent and sum in one row")
        << ConditionList{withFee(both, u"300 руб."_s)} << u"Оба - 7.5%500RUB\r"_s << u"Оба - 300 руб.\r"_s;
    // Only the last day is shown: it is what the agent has to keep an eye on.
    QTest::newRow("days in force")
        << ConditionList{inForce(percentCondition(u"Весна"_s, "7.5"), QDate(2027, 3, 1), QDate(2027, 5, 31)),
                         inForce(sumCondition(u"С марта"_s, 20, u"USD"_s), QDate(2027, 3, 1), {})}
        << u"Весна - 7.5% по 31.05.2027\rС марта - 20USD\r"_s << u"\r\r"_s;
}

void SummaryRebuildTest::textsFollowTheConditions() {
    QFETCH(ConditionList, conditions);
    QFETCH(QString, commission);
    QFETCH(QString, fee);
    RegisterStore store;
    m_register->open(store);
    const qint64 id = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), conditions);
    store.airlines().first();
    QVERIFY(selectAirline(store.airlines(), id));

    QCOMPARE(rebuildCommissionSummary(store, id), id);

    QCOMPARE(storedSummary(store, id).commission, commission);
    QCOMPARE(storedSummary(store, id).fee, fee);
    QCOMPARE(store.airlines().text(u"Commision"), commission);
    QCOMPARE(store.airlines().text(u"Fee"), fee);
    QCOMPARE(store.airlines().state(), TableCursor::State::Browse);
}

void SummaryRebuildTest::decimalCommaLocaleStillWritesFullStop() {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    RegisterStore store;
    m_register->open(store);
    const qint64 id = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"A"_s, "7.5")});
    rebuildCommissionSummary(store, id);
    QLocale::setDefault(previous);
    QCOMPARE(storedSummary(store, id).commission, u"A - 7.5%\r"_s);
}

void SummaryRebuildTest::pendingAirlineChangesAreStoredWithTheTexts() {
    RegisterStore store;
    m_register->open(store);
    const qint64 id = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {sumCondition(u"A"_s, 500, u"RUB"_s)});
    store.airlines().edit();
    store.airlines().setValue(u"AirName", u"Аэрофлот-Россия"_s);

    rebuildCommissionSummary(store, id);

    QCOMPARE(storedText(store, id, u"AirName"_s), u"Аэрофлот-Россия"_s);
    QCOMPARE(storedSummary(store, id).commission, u"A - 500RUB\r"_s);
    QCOMPARE(store.airlines().state(), TableCursor::State::Browse);
}

void SummaryRebuildTest::newAirlineIsStoredAndGetsEmptyTexts() {
    RegisterStore store;
    m_register->open(store);
    store.airlines().insert();
    store.airlines().setValue(u"AirCode", u"LH"_s);

    const qint64 id = rebuildCommissionSummary(store, 0);

    QVERIFY(id > 0);
    QCOMPARE(storedText(store, id, u"AirCode"_s), u"LH"_s);
    QCOMPARE(storedSummary(store, id).commission, QString());
    QCOMPARE(storedSummary(store, id).fee, QString());
}

void SummaryRebuildTest::otherCurrentAirlineIsLeftAlone() {
    RegisterStore store;
    m_register->open(store);
    const qint64 edited = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"A"_s, "5")});
    const qint64 other = addAirline(store, airline(u"AF"_s, u"Air France"_s));
    QVERIFY(selectAirline(store.airlines(), other));

    rebuildCommissionSummary(store, edited);

    QCOMPARE(storedSummary(store, edited).commission, u"A - 5%\r"_s);
    QVERIFY(storedSummary(store, other).commission.isEmpty());
    QCOMPARE(heldInteger(store.airlines().value(0)), other);
}

// Storing the texts can take the airline out of a search on them; the texts must still
// go to that airline, not to the one the search then shows.
void SummaryRebuildTest::airlineLeavingTheSearchKeepsItsOwnTexts() {
    RegisterStore store;
    m_register->open(store);
    const qint64 edited = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {sumCondition(u"Сочи"_s, 100, u"RUB"_s)});
    const qint64 other = addAirline(store, airline(u"S7"_s, u"Сочи-Авиа"_s));
    QVERIFY(selectAirline(store.airlines(), edited));
    rebuildCommissionSummary(store, edited);
    store.airlines().setFilter(SearchFilter{u"Сочи"_s, {u"AirName"_s, u"Commision"_s}});
    store.airlines().setFiltered(true);
    QVERIFY(selectAirline(store.airlines(), edited));
    store.conditions().remove();

    QCOMPARE(rebuildCommissionSummary(store, edited), edited);

    QVERIFY(storedSummary(store, edited).commission.isEmpty());
    QVERIFY(storedSummary(store, other).commission.isEmpty());
    QCOMPARE(store.airlines().recordCount(), 1);
}

void SummaryRebuildTest::deletingTheOnlyConditionEmptiesTheTexts() {
    RegisterStore store;
    m_register->open(store);
    const qint64 id =
        addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {withFee(percentCondition(u"A"_s, "5"), u"1"_s)});
    rebuildCommissionSummary(store, id);
    QCOMPARE(storedSummary(store, id).fee, u"A - 1\r"_s);

    store.conditions().remove();
    rebuildCommissionSummary(store, id);

    QCOMPARE(storedSummary(store, id).commission, QString());
    QCOMPARE(storedSummary(store, id).fee, QString());
}

void SummaryRebuildTest::duplicateBelongsToTheSameAirline() {
    RegisterStore store;
    m_register->open(store);
    ConditionRecord condition = withFee(sumCondition(u"A"_s, 500, u"EUR"_s), u"2%"_s);
    condition.remarks = u"RM*X"_s;
    condition.valLen = 5;
    const qint64 id = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {condition});
    TableCursor& conditions = store.conditions();
    const qint64 originalId = heldInteger(conditions.value(0));

    duplicateCurrentCondition(conditions);

    QVERIFY(heldInteger(conditions.value(0)) > originalId);
    QCOMPARE(conditions.state(), TableCursor::State::Browse);
    const ConditionList stored = store.conditionQuery().conditionsOf(id);
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[1].comCondition, u"A"_s);
    QCOMPARE(stored[1].comSum, std::optional<std::int16_t>(500));
    QCOMPARE(stored[1].comVal, u"EUR"_s);
    QCOMPARE(stored[1].remarks, u"RM*X"_s);
    QCOMPARE(stored[1].valLen, std::optional<std::uint16_t>(5));
    QCOMPARE(stored[1].fee, u"2%"_s);
}

void SummaryRebuildTest::selectAirlineBringsBackARowTheSearchHides() {
    RegisterStore store;
    m_register->open(store);
    const qint64 hidden = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s));
    addAirline(store, airline(u"AF"_s, u"Air France"_s));
    store.airlines().setFilter(SearchFilter{u"France"_s, {u"AirName"_s}});
    store.airlines().setFiltered(true);
    QCOMPARE(store.airlines().recordCount(), 1);

    QVERIFY(selectAirline(store.airlines(), hidden));

    QCOMPARE(heldInteger(store.airlines().value(0)), hidden);
    QVERIFY(!selectAirline(store.airlines(), hidden + 100));
}

// Two copies of the program on one register: each stores only the fields it changed,
// so the last save wins for a field both changed and nothing else is lost.
void SummaryRebuildTest::twoCopiesOnOneFile() {
    RegisterStore first;
    m_register->open(first);
    const qint64 shared = addAirline(first, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"A"_s, "5")});
    const qint64 bystander = addAirline(first, airline(u"AF"_s, u"Air France"_s));
    RegisterStore second;
    m_register->open(second);

    // The first copy changes the name and adds a condition.
    QVERIFY(selectAirline(first.airlines(), shared));
    first.airlines().edit();
    first.airlines().setValue(u"AirName", u"Имя первой копии"_s);
    first.addCondition(shared, sumCondition(u"B"_s, 100, u"USD"_s));
    QVERIFY(selectAirline(first.airlines(), shared));
    rebuildCommissionSummary(first, shared);

    // The second copy, which read the row before, changes the note and the name.
    QVERIFY(selectAirline(second.airlines(), shared));
    second.airlines().edit();
    second.airlines().setValue(u"Comment", u"Примечание второй копии"_s);
    rebuildCommissionSummary(second, shared);
    QCOMPARE(storedText(second, shared, u"AirName"_s), u"Имя первой копии"_s);
    QCOMPARE(storedText(second, shared, u"Comment"_s), u"Примечание второй копии"_s);
    // The texts follow the register's conditions, the other copy's included.
    QCOMPARE(storedSummary(second, shared).commission, u"A - 5%\rB - 100USD\r"_s);
    QCOMPARE(second.airlines().text(u"AirName"), u"Имя первой копии"_s);

    second.airlines().edit();
    second.airlines().setValue(u"AirName", u"Имя второй копии"_s);
    rebuildCommissionSummary(second, shared);
    QCOMPARE(storedText(first, shared, u"AirName"_s), u"Имя второй копии"_s);

    QCOMPARE(storedText(first, bystander, u"AirName"_s), u"Air France"_s);
    QVERIFY(storedSummary(first, bystander).commission.isEmpty());
}

} // namespace tarvex

QTEST_GUILESS_MAIN(tarvex::SummaryRebuildTest)
#include "tst_summaryrebuild.moc"
