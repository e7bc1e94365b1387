#pragma once

#include "airlinerecord.h"
#include "schema.h"
#include "storeerror.h"

#include <QSqlDatabase>

struct sqlite3;
struct sqlite3_stmt;

namespace tarvex {

// Reads one airline's conditions in the order they were created, for the editors. From a
// register file it keeps one prepared statement and reads the columns straight from SQLite. Each number passes the
// columns' rule (readNumber): a stored value its field cannot hold stops the reading with a StoreError naming it.
class ConditionQuery {
public:
    ConditionQuery() = default;
    ConditionQuery(const ConditionQuery&) = delete;
    ConditionQuery& operator=(const ConditionQuery&) = delete;
    ~ConditionQuery();

    // `fileFormat` is the register's format: a condition of an older file has no days in force.
    void setDatabase(const QSqlDatabase& database, int fileFormat = kRegisterFormat);
    // Lets go of the statement and the connection.
    void close();

    // Every condition whose ComId is the airline's id. Throws StoreError.
    ConditionList conditionsOf(qint64 airlineId);
    // The same into `conditions`, whose records are reused: a walk over thousands of
    // airlines then allocates only when an airline has more conditions, or longer texts,
    // than any before it. Throws StoreError.
    void readConditionsOf(qint64 airlineId, ConditionList& conditions);

private:
    [[noreturn]] void fail(const EngineRefusal& refusal) const;
    void readFromServer(qint64 airlineId, ConditionList& conditions);

    QSqlDatabase m_database;
    int m_fileFormat = kRegisterFormat;
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace tarvex
