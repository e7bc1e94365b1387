#include "sharedquery.h"

#include "schema.h"
#include "storeerror.h"

#include <QSqlError>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Column positions of the per-airline query, the order of tbComm.
enum Column { ComCondition = 2, ComPct = 3, ComSum = 4, ComVal = 5, Remarks = 6, ValLen = 7, Fee = 8 };

template <typename T>
std::optional<T> optionalNumber(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    return T(value.toLongLong());
}

[[noreturn]] void fail(const QSqlQuery& query)
{
    throw StoreError(u"Не удалось прочитать условия авиакомпании: "_s + query.lastError().text());
}

} // namespace

void SharedQuery::setDatabase(const QSqlDatabase& database)
{
    m_database = database;
    m_conditions = QSqlQuery(database);
    m_prepared = false;
}

void SharedQuery::close()
{
    m_conditions = QSqlQuery();
    m_database = QSqlDatabase();
    m_prepared = false;
}

ConditionList SharedQuery::conditionsOf(qint64 airlineId)
{
    const TableDef& table = schema::tbComm();
    if (!m_prepared) {
        QStringList names;
        for (const ColumnDef& column : table.columns)
            names << column.name;
        m_conditions.setForwardOnly(true);
        if (!m_conditions.prepare(u"SELECT %1 FROM tbComm WHERE ComId = ? ORDER BY id"_s.arg(names.join(u", "_s))))
            fail(m_conditions);
        m_prepared = true;
    }
    m_conditions.bindValue(0, airlineId);
    if (!m_conditions.exec())
        fail(m_conditions);

    ConditionList conditions;
    while (m_conditions.next()) {
        ConditionRecord condition;
        condition.comCondition = m_conditions.value(ComCondition).toString();
        const QVariant percent = fromStorage(table.column(ComPct), m_conditions.value(ComPct));
        if (!percent.isNull())
            condition.comPct = percent.value<Decimal4>();
        condition.comSum = optionalNumber<std::int16_t>(m_conditions.value(ComSum));
        condition.comVal = m_conditions.value(ComVal).toString();
        condition.remarks = m_conditions.value(Remarks).toString();
        condition.valLen = optionalNumber<std::uint16_t>(m_conditions.value(ValLen));
        condition.fee = m_conditions.value(Fee).toString();
        conditions.push_back(std::move(condition));
    }
    if (m_conditions.lastError().isValid())
        fail(m_conditions);
    m_conditions.finish();
    return conditions;
}

} // namespace tarvex
