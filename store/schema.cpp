#include "schema.h"

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

ColumnDef autoId() {
    return {u"id"_s, ColumnKind::AutoId, 0, {}, u"INTEGER PRIMARY KEY AUTOINCREMENT"_s};
}
ColumnDef ownerId(const QString& name, const QString& label = {}) {
    return {name, ColumnKind::OwnerId, 0, label, u"INTEGER"_s};
}
ColumnDef int16(const QString& name, const QString& label = {}) {
    return {name, ColumnKind::Int16, 0, label, u"INTEGER"_s};
}
ColumnDef uint16(const QString& name, const QString& label = {}) {
    return {name, ColumnKind::UInt16, 0, label, u"INTEGER"_s};
}
ColumnDef boolean(const QString& name, const QString& label = {}) {
    return {name, ColumnKind::Boolean, 0, label, u"INTEGER NOT NULL DEFAULT 0"_s};
}
ColumnDef dateTime(const QString& name, const QString& label = {}) {
    return {name, ColumnKind::DateTime, 0, label, u"TEXT"_s};
}
ColumnDef date(const QString& name, const QString& label, int sinceFormat) {
    return {name, ColumnKind::Date, 0, label, u"TEXT"_s, sinceFormat};
}
ColumnDef decimal(const QString& name, const QString& label = {}) {
    return {name, ColumnKind::Decimal, 0, label, u"NUMERIC"_s};
}
ColumnDef text(const QString& name, int width, const QString& label = {}) {
    return {name, ColumnKind::Text, width, label, u"TEXT"_s};
}
ColumnDef memo(const QString& name, const QString& label = {}) {
    return {name, ColumnKind::Memo, 0, label, u"TEXT"_s};
}

// Column order is part of the format: condition rows are read and copied by position.
const TableDef kMain{u"tbMain"_s,
                     {autoId(), text(u"AirCode"_s, 3, u"Код"_s), text(u"AirName"_s, 50, u"Название"_s),
                      memo(u"Commision"_s, u"Комиссия"_s), memo(u"Fee"_s, u"Сервисный сбор"_s),
                      memo(u"Comment"_s, u"Комментарий"_s), text(u"AccCode"_s, 3, u"IATA"_s),
                      boolean(u"BSP"_s, u"BSP"_s), text(u"Dog"_s, 100, u"Договор"_s),
                      dateTime(u"DogDate"_s, u"Дата окончания"_s), text(u"ContrAgent"_s, 150, u"Контрагент"_s),
                      boolean(u"Script"_s, u"Script"_s)},
                     u"авиакомпаний"_s};

const TableDef kComm{
    u"tbComm"_s,
    {autoId(), ownerId(u"ComId"_s, u"ComId"_s), memo(u"ComCondition"_s, u"Условие начисления комиссии"_s),
     decimal(u"ComPCT"_s, u"%"_s), int16(u"ComSum"_s, u"Сумма"_s), text(u"ComVal"_s, 3, u"Валюта"_s),
     text(u"Remarks"_s, 255, u"Ремарки"_s), uint16(u"ValLen"_s, u"ValLen"_s), text(u"Fee"_s, 255, u"Сбор"_s),
     // The days a condition is in force, both included; NULL leaves that end open.
     date(u"ComFrom"_s, u"Действует с"_s, 1), date(u"ComTill"_s, u"Действует по"_s, 1)},
    u"условий комиссии"_s};

const TableDef kFee{u"tbFee"_s,
                    {autoId(), ownerId(u"FeeId"_s), memo(u"FeeCondition"_s), decimal(u"FeePCT"_s), int16(u"FeeSumm"_s),
                     text(u"FeeVal"_s, 3)},
                    u"сервисных сборов"_s};

} // namespace

QString fieldName(const ColumnDef& column) {
    return column.label.isEmpty() || column.label == column.name ? u"«%1»"_s.arg(column.name)
                                                                 : u"«%1» (%2)"_s.arg(column.label, column.name);
}

int TableDef::columnIndex(QStringView columnName) const {
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(columnName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TableDef::shownName() const {
    return u"%1 (%2)"_s.arg(title, name);
}

QString TableDef::refusalSubject() const {
    return u"таблицу "_s + shownName();
}

namespace schema {

const TableDef& tbMain() {
    return kMain;
}
const TableDef& tbComm() {
    return kComm;
}
const TableDef& tbFee() {
    return kFee;
}

const QList<const TableDef*>& allTables() {
    static const QList<const TableDef*> tables{&kMain, &kComm, &kFee};
    return tables;
}

QStringList createStatements() {
    QStringList statements;
    for (const TableDef* table : allTables()) {
        QStringList columns;
        for (const ColumnDef& column : table->columns)
            columns << column.name + u' ' + column.sqlType;
        statements << u"CREATE TABLE %1 (%2)"_s.arg(table->name, columns.join(u", "_s));
    }
    statements << u"CREATE INDEX tbComm_ComId ON tbComm (ComId)"_s;
    statements << u"CREATE INDEX tbFee_FeeId ON tbFee (FeeId)"_s;
    statements << u"PRAGMA user_version = %1"_s.arg(kRegisterFormat);
    return statements;
}

QString selectList(const TableDef& table, int fileFormat, QStringView qualifier) {
    return selectList(table, fileFormat, qualifier, [](const ColumnDef&, const QString& name) { return name; });
}

QString selectList(const TableDef& table, int fileFormat, QStringView qualifier,
                   const std::function<QString(const ColumnDef& column, const QString& name)>& read) {
    const QString prefix = qualifier.isEmpty() ? QString() : qualifier.toString() + u'.';
    QStringList names;
    for (const ColumnDef& column : table.columns)
        names << (column.sinceFormat > fileFormat ? u"NULL AS "_s + column.name : read(column, prefix + column.name));
    return names.join(u", "_s);
}

} // namespace schema

} // namespace tarvex
