#include "schema.h"

#include "decimal4.h"

#include <QDateTime>

#include <limits>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

ColumnDef autoId() {
    return {u"id"_s, ColumnKind::AutoId, 0, {}, u"INTEGER PRIMARY KEY AUTOINCREMENT"_s};
}
ColumnDef int32(const QString& name, const QString& label = {}) {
    return {name, ColumnKind::Int32, 0, label, u"INTEGER"_s};
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
                      boolean(u"Script"_s, u"Script"_s)}};

const TableDef kComm{
    u"tbComm"_s,
    {autoId(), int32(u"ComId"_s, u"ComId"_s), memo(u"ComCondition"_s, u"Условие начисления комиссии"_s),
     decimal(u"ComPCT"_s, u"%"_s), int16(u"ComSum"_s, u"Сумма"_s), text(u"ComVal"_s, 3, u"Валюта"_s),
     text(u"Remarks"_s, 255, u"Ремарки"_s), uint16(u"ValLen"_s, u"ValLen"_s), text(u"Fee"_s, 255, u"Сбор"_s)}};

const TableDef kFee{u"tbFee"_s,
                    {autoId(), int32(u"FeeId"_s), memo(u"FeeCondition"_s), decimal(u"FeePCT"_s), int16(u"FeeSumm"_s),
                     text(u"FeeVal"_s, 3)}};

// The largest magnitude a decimal of 18 digits with four places can hold.
constexpr std::int64_t kDecimalLimit = 1'000'000'000'000'000'000 - 1;

std::optional<qint64> toInteger(const QVariant& value) {
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (ok)
        return number;
    // A whole number stored as a real, e.g. by a hand-written statement.
    const double real = value.toDouble(&ok);
    if (ok && real == double(qint64(real)))
        return qint64(real);
    return std::nullopt;
}

QString fieldName(const ColumnDef& column) {
    return column.label.isEmpty() || column.label == column.name ? u"«%1»"_s.arg(column.name)
                                                                 : u"«%1» (%2)"_s.arg(column.label, column.name);
}

} // namespace

int TableDef::columnIndex(QStringView columnName) const {
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(columnName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
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
    return statements;
}

} // namespace schema

QVariant fromStorage(const ColumnDef& column, const QVariant& stored) {
    if (stored.isNull())
        return {};
    switch (column.kind) {
    case ColumnKind::AutoId:
    case ColumnKind::Int32:
    case ColumnKind::Int16:
    case ColumnKind::UInt16:
        if (const auto number = toInteger(stored))
            return QVariant::fromValue<qint64>(*number);
        return stored; // kept as it is so checkValue can name the offending field
    case ColumnKind::Boolean:
        return stored.toLongLong() != 0;
    case ColumnKind::DateTime:
        return QDateTime::fromString(stored.toString(), Qt::ISODate);
    case ColumnKind::Decimal:
        if (stored.typeId() == QMetaType::Double)
            return QVariant::fromValue(Decimal4::fromDouble(stored.toDouble()));
        if (const auto parsed = Decimal4::parse(stored.toString()))
            return QVariant::fromValue(*parsed);
        return stored;
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return stored.toString();
    }
    return stored;
}

QVariant toStorage(const ColumnDef& column, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (column.kind) {
    case ColumnKind::Boolean:
        return value.toBool() ? 1 : 0;
    case ColumnKind::DateTime:
        return value.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    case ColumnKind::Decimal:
        // Bound as text, so the NUMERIC column keeps the exact decimal (7.5, 10).
        return value.value<Decimal4>().toText();
    default:
        return value;
    }
}

std::optional<QString> checkValue(const ColumnDef& column, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;

    auto outOfRange = [&](qint64 low, qint64 high) -> std::optional<QString> {
        const auto number = toInteger(value);
        if (!number)
            return u"Поле %1: значение «%2» не является целым числом"_s.arg(fieldName(column), value.toString());
        if (*number < low || *number > high)
            return u"Поле %1: значение %2 вне допустимого диапазона от %3 до %4"_s.arg(fieldName(column))
                .arg(*number)
                .arg(low)
                .arg(high);
        return std::nullopt;
    };

    switch (column.kind) {
    case ColumnKind::AutoId:
    case ColumnKind::Int32:
        return outOfRange(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    case ColumnKind::Int16:
        return outOfRange(std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    case ColumnKind::UInt16:
        return outOfRange(0, std::numeric_limits<quint16>::max());
    case ColumnKind::Decimal:
        if (!value.canConvert<Decimal4>() || value.typeId() != qMetaTypeId<Decimal4>())
            return u"Поле %1: значение «%2» не является числом"_s.arg(fieldName(column), value.toString());
        if (std::abs(value.value<Decimal4>().units()) > kDecimalLimit)
            return u"Поле %1: значение %2 слишком велико"_s.arg(fieldName(column), value.value<Decimal4>().toText());
        return std::nullopt;
    case ColumnKind::Text: {
        const qsizetype length = value.toString().size();
        if (length > column.width)
            return u"Поле %1: не более %2 символов (введено %3)"_s.arg(fieldName(column)).arg(column.width).arg(length);
        return std::nullopt;
    }
    case ColumnKind::Boolean:
    case ColumnKind::DateTime:
    case ColumnKind::Memo:
        return std::nullopt;
    }
    return std::nullopt;
}

QString displayText(const ColumnDef& column, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (column.kind) {
    case ColumnKind::Decimal:
        if (value.typeId() == qMetaTypeId<Decimal4>())
            return value.value<Decimal4>().toText();
        return value.toString();
    case ColumnKind::DateTime:
        return value.toDateTime().toString(u"dd.MM.yyyy"_s);
    case ColumnKind::Boolean:
        return value.toBool() ? u"True"_s : u"False"_s;
    default:
        return value.toString();
    }
}

} // namespace tarvex
