#include "benchregister.h"

#include "store/registercreation.h"
#include "store/registerstore.h"

#include <QDate>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <tuple>

using namespace Qt::StringLiterals;

namespace tarvex::bench {

namespace {

QString letterCode(std::mt19937& random) {
    std::uniform_int_distribution<int> letter(0, 25);
    const QChar code[] = {QChar(u'A' + letter(random)), QChar(u'A' + letter(random))};
    return QString(code, 2);
}

void fill(const QString& appDir, int airlines, int conditions, bool withDays) {
    RegisterStore data;
    data.open(appDir);
    std::mt19937 random(20241209);
    QSqlDatabase db = data.connection();
    db.transaction();
    QSqlQuery insertAirline(db);
    insertAirline.prepare(u"INSERT INTO tbMain (id, AirCode, AirName, Comment, AccCode, BSP, Script) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?)"_s);
    std::vector<int> ids(airlines);
    std::iota(ids.begin(), ids.end(), 1);
    std::shuffle(ids.begin(), ids.end(), random);
    for (int id : ids) {
        insertAirline.addBindValue(id);
        insertAirline.addBindValue(letterCode(random));
        insertAirline.addBindValue(u"Авиакомпания №%1"_s.arg(id));
        insertAirline.addBindValue(id % 3 == 0 ? u"Договор до конца года, только BSP"_s : QString());
        insertAirline.addBindValue(QString::number(100 + id % 900));
        insertAirline.addBindValue(1);
        insertAirline.addBindValue(1);
        insertAirline.exec();
    }
    // Each airline gets at least one condition; the rest go to random owners, and all
    // of them are written in random order.
    std::vector<int> owners(conditions);
    std::uniform_int_distribution<int> anyAirline(1, airlines);
    for (int i = 0; i < conditions; ++i)
        owners[i] = i < airlines ? i + 1 : anyAirline(random);
    std::shuffle(owners.begin(), owners.end(), random);
    QSqlQuery insertCondition(db);
    insertCondition.prepare(u"INSERT INTO tbComm (ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee, "
                            "ComFrom, ComTill) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    const QDate today = QDate::currentDate();
    for (int i = 0; i < conditions; ++i) {
        const bool percent = i % 2 == 0;
        insertCondition.addBindValue(owners[i]);
        insertCondition.addBindValue(u"Условие продажи %1, все тарифы"_s.arg(i));
        insertCondition.addBindValue(percent ? QVariant(u"7.5"_s) : QVariant());
        insertCondition.addBindValue(percent ? QVariant() : QVariant(500));
        insertCondition.addBindValue(percent ? u""_s : u"EUR"_s);
        insertCondition.addBindValue(u"RM COMMISSION %1"_s.arg(i));
        insertCondition.addBindValue(percent ? QVariant() : QVariant(4));
        insertCondition.addBindValue(u"300 руб."_s);
        insertCondition.addBindValue(withDays ? QVariant(today.addDays(-i % 365).toString(Qt::ISODate)) : QVariant());
        insertCondition.addBindValue(withDays ? QVariant(today.addDays(1 + i % 365).toString(Qt::ISODate))
                                              : QVariant());
        insertCondition.exec();
    }
    db.commit();
}

} // namespace

QString benchAppDir(int airlines, int conditions, bool withDays) {
    static std::map<std::tuple<int, int, bool>, std::unique_ptr<QTemporaryDir>> folders;
    auto& folder = folders[{airlines, conditions, withDays}];
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        QDir(folder->path()).mkpath(u"Files"_s);
        const QString appDir = folder->path() + u'/';
        createRegister(RegisterStore::databasePath(appDir));
        fill(appDir, airlines, conditions, withDays);
    }
    return folder->path() + u'/';
}

} // namespace tarvex::bench
