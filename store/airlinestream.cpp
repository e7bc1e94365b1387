#include "airlinestream.h"

#include "airlinesource.h"
#include "registerstore.h"
#include "schema.h"

using namespace Qt::StringLiterals;

namespace tarvex {

QString airlineRecordColumns(int registerFormat) {
    static const QStringList taken{u"id"_s,      u"AirCode"_s, u"AirName"_s, u"Comment"_s,
                                   u"AccCode"_s, u"BSP"_s,     u"Script"_s};
    return schema::selectList(schema::tbMain(), registerFormat, {}, [](const ColumnDef& column, const QString& name) {
        return taken.contains(column.name) ? name : u"NULL"_s;
    });
}

QString airlinesInCodeOrder(const QString& columns) {
    return u"SELECT %1 FROM tbMain ORDER BY tbMain.AirCode, tbMain.id"_s.arg(columns);
}

// The conditions in the order of their airlines, so that both queries run in step.
QString conditionsInCodeOrder(const QString& columns) {
    return u"SELECT %1 FROM tbComm c JOIN tbMain m ON m.id = c.ComId ORDER BY m.AirCode, m.id, c.id"_s.arg(columns);
}

int conditionOwnerColumn() {
    static const int column = schema::tbComm().columnIndex(u"ComId");
    return column;
}

AirlineStream::AirlineStream(RegisterStore& store, Conditions conditions)
    : m_source(store.engine() == RegisterEngine::Postgres ? serverAirlineSource(store, conditions == Conditions::Read)
                                                          : sqliteAirlineSource(store)) {
    m_readsConditions = conditions == Conditions::Read;
}

AirlineStream::~AirlineStream() = default;

int AirlineStream::airlineCount() {
    return m_source->airlineCount();
}

bool AirlineStream::nextAirline(AirlineRecord& airline) {
    if (!m_source->nextAirline(airline))
        return false;
    m_airlineId = airline.id;
    return true;
}

void AirlineStream::takeConditions(ConditionList* conditions) {
    qsizetype count = 0;
    if (m_readsConditions && !conditions)
        m_source->passConditionsOf(m_airlineId);
    while (m_readsConditions && conditions && m_source->nextConditionOf(m_airlineId)) {
        if (count == conditions->size())
            conditions->emplace_back();
        m_source->readCondition((*conditions)[count++]);
    }
    if (conditions)
        conditions->resize(count);
}

} // namespace tarvex
