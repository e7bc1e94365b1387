#include "store/conditionquery.h"
#include "support/registerfixture.h"

#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

class TestConditionQuery : public QObject {
    Q_OBJECT
private slots:
    // A walk reads every airline into the same list: nothing of an airline with more,
    // or fuller, conditions may stay behind for the next one.
    void reusedListHoldsOnlyTheAirlinesOwnConditions() {
        TempAppFolder folder;
        insertRegister(folder.databasePath(),
                       {{airline(u"SU"_s, u"Аэрофлот"_s),
                         {withFee(sumCondition(u"Все тарифы"_s, 500, u"EUR"_s, 4, u"RM COM"_s), u"300 руб."_s),
                          percentCondition(u"Бизнес"_s, "7.5"), percentCondition(u"Эконом"_s, "3")}},
                        {airline(u"S7"_s, u"Сибирь"_s), {bareCondition(u"Б"_s)}},
                        {airline(u"UT"_s, u"Ютэйр"_s), {}}});
        RegisterStore data;
        data.open(folder.appDir());

        ConditionList reused;
        data.conditionQuery().readConditionsOf(1, reused);
        QCOMPARE(reused.size(), 3);
        QCOMPARE(reused[0].comCondition, u"Все тарифы"_s);
        QCOMPARE(reused[0].fee, u"300 руб."_s);
        QCOMPARE(reused[2].comPct->toText(), u"3"_s);

        const ConditionList firstAirline = reused; // a writer may keep what it was given
        data.conditionQuery().readConditionsOf(2, reused);
        QCOMPARE(reused.size(), 1);
        const ConditionRecord& bare = reused[0];
        QCOMPARE(bare.comCondition, u"Б"_s);
        QVERIFY(!bare.comPct && !bare.comSum && !bare.valLen);
        QVERIFY(bare.comVal.isEmpty() && bare.remarks.isEmpty() && bare.fee.isEmpty());
        QCOMPARE(firstAirline[0].comCondition, u"Все тарифы"_s);
        QCOMPARE(firstAirline[0].remarks, u"RM COM"_s);

        data.conditionQuery().readConditionsOf(3, reused);
        QVERIFY(reused.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConditionQuery)
#include "tst_conditionquery.moc"
