#include "tablewriter.h"

#include "heldvalue.h"
#include "serverconnection.h"
#include "storeerror.h"
#include "tablereader.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// A transaction in which the row read to check it and the row written are the same: no other
// copy writes the row in between. A register file's write lock is taken at its start; a
// server locks the row as it is read (RowLock::ForUpdate).
class WriteTransaction {
public:
    explicit WriteTransaction(const QSqlDatabase& database)
        : m_query(database) {
        if (!m_query.exec(isServerConnection(database) ? u"BEGIN"_s : u"BEGIN IMMEDIATE"_s))
            throw refusalError(RegisterTask::Save, refusalOf(m_query.lastError(), database));
    }
    ~WriteTransaction() {
        if (!m_committed)
            m_query.exec(u"ROLLBACK"_s);
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void commit(const QSqlDatabase& database) {
        if (!m_query.exec(u"COMMIT"_s))
            throw refusalError(RegisterTask::Save, refusalOf(m_query.lastError(), database));
        m_committed = true;
    }

private:
    QSqlQuery m_query;
    bool m_committed = false;
};

bool isEmptyValue(const QVariant& value) {
    return value.isNull() ||
           (value.typeId() == QMetaType::QString && static_cast<const QString*>(value.constData())->isEmpty());
}

// Whether two held values of the column store the same: a text shows NULL and the empty
// text alike, and a row's own saved values and the values read back differ only so.
bool sameHeld(const ColumnDef& column, const QVariant& a, const QVariant& b) {
    if (column.kind == ColumnKind::Text || column.kind == ColumnKind::Memo)
        return (isEmptyValue(a) && isEmptyValue(b)) || (!isEmptyValue(a) && !isEmptyValue(b) && a == b);
    return a.isNull() == b.isNull() && (a.isNull() || a == b);
}

} // namespace

TableWriter::TableWriter(const QSqlDatabase& database, const TableDef& table, int fileFormat, RegisterTask task)
    : m_database(database)
    , m_table(table)
    , m_fileFormat(fileFormat) {
    reconnectIfLost(m_database, task);
}

void TableWriter::fail(RegisterTask task, const QSqlQuery& query) const {
    throw refusalError(task, refusalOf(query.lastError(), m_database), m_table.refusalSubject());
}

qint64 TableWriter::insertRow(const QVariantList& values) const {
    QStringList names;
    QStringList marks;
    QVariantList stored;
    for (int c = 1; c < m_table.columns.size(); ++c) {
        if (m_table.columns[c].sinceFormat > m_fileFormat) // the file has no such column
            continue;
        names << m_table.columns[c].name;
        marks << u"?"_s;
        stored << toStorage(m_table.columns[c], values[c]);
    }
    // A server gives the new id back with the row; a file keeps it as the connection's last row.
    const bool server = isServerConnection(m_database);
    QSqlQuery query(m_database);
    if (!query.prepare(u"INSERT INTO %1 (%2) VALUES (%3)%4"_s.arg(
            m_table.name, names.join(u", "_s), marks.join(u", "_s), server ? u" RETURNING id"_s : QString())))
        fail(RegisterTask::Save, query);
    for (const QVariant& value : stored)
        query.addBindValue(value);
    if (!query.exec())
        fail(RegisterTask::Save, query);
    if (!server)
        return query.lastInsertId().toLongLong();
    if (!query.next())
        fail(RegisterTask::Save, query);
    return query.value(0).toLongLong();
}

void TableWriter::updateRow(const QVariantList& stored, const QVariantList& changed) const {
    QList<int> columns;
    for (int c = 1; c < m_table.columns.size(); ++c) {
        if (!sameHeld(m_table.columns[c], stored[c], changed[c]))
            columns << c;
    }
    if (columns.isEmpty())
        return;
    WriteTransaction transaction(m_database);
    const std::optional<QVariantList> now =
        readTableRow(m_database, m_table, m_fileFormat, stored[0].toLongLong(), RowLock::ForUpdate);
    if (!now)
        throw StoreError(u"Запись таблицы %1 не найдена: возможно, её удалили в другой копии программы; изменения не "
                         u"сохранены"_s.arg(m_table.shownName()));
    QStringList changedElsewhere;
    for (int c : columns) {
        // A field the other copy set to the very value this one saves is no conflict.
        if (!sameHeld(m_table.columns[c], (*now)[c], stored[c]) && !sameHeld(m_table.columns[c], (*now)[c], changed[c]))
            changedElsewhere << fieldName(m_table.columns[c]);
    }
    if (!changedElsewhere.isEmpty())
        throw RowChangedElsewhere(u"Запись таблицы %1 изменили в другой копии программы, пока вы её правили (%2). Ваши "
                                  u"изменения не сохранены: показана сохранённая запись, внесите их заново."_s.arg(
                                      m_table.shownName(), changedElsewhere.join(u", "_s)),
                                  *now);

    QStringList assignments;
    QSqlQuery query(m_database);
    for (int c : columns)
        assignments << m_table.columns[c].name + u" = ?"_s;
    if (!query.prepare(u"UPDATE %1 SET %2 WHERE id = ?"_s.arg(m_table.name, assignments.join(u", "_s))))
        fail(RegisterTask::Save, query);
    for (int c : columns)
        query.addBindValue(toStorage(m_table.columns[c], changed[c]));
    query.addBindValue(stored[0]);
    if (!query.exec())
        fail(RegisterTask::Save, query);
    transaction.commit(m_database);
}

void TableWriter::deleteRow(const QVariant& id) const {
    QSqlQuery query(m_database);
    if (!query.prepare(u"DELETE FROM %1 WHERE id = ?"_s.arg(m_table.name)))
        fail(RegisterTask::Delete, query);
    query.addBindValue(id);
    if (!query.exec())
        fail(RegisterTask::Delete, query);
}

} // namespace tarvex
