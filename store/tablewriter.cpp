#include "tablewriter.h"

#include "heldvalue.h"
#include "storeerror.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace tarvex {

TableWriter::TableWriter(const QSqlDatabase& database, const TableDef& table, int fileFormat)
    : m_database(database)
    , m_table(table)
    , m_fileFormat(fileFormat) {}

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
    QSqlQuery query(m_database);
    if (!query.prepare(
            u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(m_table.name, names.join(u", "_s), marks.join(u", "_s))))
        fail(RegisterTask::Save, query);
    for (const QVariant& value : stored)
        query.addBindValue(value);
    if (!query.exec())
        fail(RegisterTask::Save, query);
    return query.lastInsertId().toLongLong();
}

void TableWriter::updateRow(const QVariantList& stored, const QVariantList& changed) const {
    QStringList assignments;
    QVariantList values;
    for (int c = 1; c < m_table.columns.size(); ++c) {
        if (stored[c] == changed[c] && stored[c].isNull() == changed[c].isNull())
            continue;
        assignments << m_table.columns[c].name + u" = ?"_s;
        values << toStorage(m_table.columns[c], changed[c]);
    }
    if (assignments.isEmpty())
        return;
    QSqlQuery query(m_database);
    if (!query.prepare(u"UPDATE %1 SET %2 WHERE id = ?"_s.arg(m_table.name, assignments.join(u", "_s))))
        fail(RegisterTask::Save, query);
    for (const QVariant& value : values)
        query.addBindValue(value);
    query.addBindValue(stored[0]);
    if (!query.exec())
        fail(RegisterTask::Save, query);
    if (query.numRowsAffected() == 0)
        throw StoreError(u"Запись таблицы %1 не найдена: возможно, её удалили в другой копии программы; изменения не "
                         u"сохранены"_s.arg(m_table.shownName()));
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
