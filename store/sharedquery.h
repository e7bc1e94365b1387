#pragma once

#include "airlinerecord.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace tarvex {

// The data module's one query object: the per-airline query that reads an airline's
// conditions in the order they were created.
class SharedQuery {
public:
    void setDatabase(const QSqlDatabase& database);
    // Lets go of the connection.
    void close();

    // Every condition whose ComId is the airline's id. Throws StoreError.
    ConditionList conditionsOf(qint64 airlineId);

private:
    QSqlDatabase m_database;
    QSqlQuery m_conditions; // prepared once, run once per airline
    bool m_prepared = false;
};

} // namespace tarvex
