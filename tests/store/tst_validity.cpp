#include "store/validity.h"

#include <QTest>

using namespace tarvex;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(tarvex::ConditionRecord)

namespace {

QDate day(const char* iso) {
    return iso ? QDate::fromString(QString::fromLatin1(iso), Qt::ISODate) : QDate();
}

ConditionRecord inForce(const char* from, const char* till) {
    ConditionRecord condition;
    condition.validFrom = day(from);
    condition.validTill = day(till);
    return condition;
}

} // namespace

class ValidityTest : public QObject {
    Q_OBJECT
private slots:
    void bothEndsAreIncluded_data() {
        QTest::addColumn<ConditionRecord>("condition");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("inForce");
        const ConditionRecord spring = inForce("2027-03-01", "2027-05-31");
        QTest::newRow("the day before") << spring << day("2027-02-28") << false;
        QTest::newRow("first day") << spring << day("2027-03-01") << true;
        QTest::newRow("between") << spring << day("2027-04-15") << true;
        QTest::newRow("last day") << spring << day("2027-05-31") << true;
        QTest::newRow("the day after") << spring << day("2027-06-01") << false;
        QTest::newRow("open start") << inForce(nullptr, "2027-05-31") << day("1900-01-01") << true;
        QTest::newRow("open start, after") << inForce(nullptr, "2027-05-31") << day("2027-06-01") << false;
        QTest::newRow("open end") << inForce("2027-03-01", nullptr) << day("2999-12-31") << true;
        QTest::newRow("open end, before") << inForce("2027-03-01", nullptr) << day("2027-02-28") << false;
        QTest::newRow("both open") << inForce(nullptr, nullptr) << day("2027-01-01") << true;
        QTest::newRow("one day") << inForce("2027-03-01", "2027-03-01") << day("2027-03-01") << true;
        QTest::newRow("leap day, last") << inForce("2028-02-01", "2028-02-29") << day("2028-02-29") << true;
        QTest::newRow("leap day, after") << inForce("2028-02-01", "2028-02-29") << day("2028-03-01") << false;
        QTest::newRow("from the leap day") << inForce("2028-02-29", nullptr) << day("2028-02-28") << false;
    }
    void bothEndsAreIncluded() {
        QFETCH(ConditionRecord, condition);
        QFETCH(QDate, day);
        QFETCH(bool, inForce);
        QCOMPARE(condition.inForceOn(day), inForce);
    }

    void daysAreShownAfterTheWording_data() {
        QTest::addColumn<ConditionRecord>("condition");
        QTest::addColumn<QString>("text");
        QTest::newRow("both") << inForce("2027-03-01", "2027-05-31") << u"с 01.03.2027 по 31.05.2027"_s;
        QTest::newRow("from") << inForce("2027-03-01", nullptr) << u"с 01.03.2027"_s;
        QTest::newRow("till") << inForce(nullptr, "2028-02-29") << u"по 29.02.2028"_s;
        QTest::newRow("open") << inForce(nullptr, nullptr) << QString();
    }
    void daysAreShownAfterTheWording() {
        QFETCH(ConditionRecord, condition);
        QFETCH(QString, text);
        QCOMPARE(validityText(condition), text);
    }

    void anEndBeforeTheStartIsRefused_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("till");
        QTest::addColumn<QString>("problem"); // empty: accepted
        QTest::newRow("in order") << day("2027-03-01") << day("2027-05-31") << QString();
        QTest::newRow("one day") << day("2027-03-01") << day("2027-03-01") << QString();
        QTest::newRow("open start") << QDate() << day("2027-05-31") << QString();
        QTest::newRow("open end") << day("2027-03-01") << QDate() << QString();
        QTest::newRow("a day early") << day("2027-03-01") << day("2027-02-28")
                                     << u"Условие не может действовать по 28.02.2027: это раньше, чем первый день "
                                        u"«действует с» 01.03.2027. Исправьте одну из дат."_s;
    }
    void anEndBeforeTheStartIsRefused() {
        QFETCH(QDate, from);
        QFETCH(QDate, till);
        QFETCH(QString, problem);
        QCOMPARE(validityProblem(from, till).value_or(QString()), problem);
    }
};

QTEST_APPLESS_MAIN(ValidityTest)
#include "tst_validity.moc"
