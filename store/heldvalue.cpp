#include "heldvalue.h"

#include "storeerror.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// A decimal of 18 digits with four places: at most 14 whole digits.
constexpr qint64 kDecimalUnitsLimit = 999'999'999'999'999'999;
constexpr qint64 kDecimalWholeLimit = kDecimalUnitsLimit / Decimal4::kScale;

struct Range {
    qint64 low;
    qint64 high;
    bool contains(qint64 number) const { return number >= low && number <= high; }
};

Range wholeRange(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Int16:
        return {std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()};
    case ColumnKind::UInt16:
        return {0, std::numeric_limits<quint16>::max()};
    default: // keys and yes/no: any 64-bit whole number
        return {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
    }
}

// Written with the minus sign and ellipsis of Russian typography: −32768…32767.
QString rangeText(const QString& low, const QString& high) {
    return u"вне допустимого диапазона %1…%2"_s.arg(QString(low).replace(u'-', u'\u2212'), high);
}

QString wholeRangeText(Range range) {
    return rangeText(QString::number(range.low), QString::number(range.high));
}

QString decimalRangeText() {
    const Decimal4 limit = Decimal4::fromUnits(kDecimalUnitsLimit);
    return rangeText(u'-' + limit.toText(), limit.toText());
}

// Digits with an optional sign (and with `separators` one "." or ","): a number, whatever its size.
bool isNumberText(QStringView text, bool separators) {
    text = text.trimmed();
    if (text.startsWith(u'-') || text.startsWith(u'+'))
        text = text.mid(1);
    bool digit = false;
    bool separator = false;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 0x80) {
            digit = true;
        } else if (separators && !separator && (c == u'.' || c == u',')) {
            separator = true;
        } else {
            return false;
        }
    }
    return digit;
}

bool isIntegerType(int typeId) {
    switch (typeId) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::SChar:
    case QMetaType::Char:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::UChar:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool isRealType(int typeId) {
    return typeId == QMetaType::Double || typeId == QMetaType::Float;
}

// The whole number a value gives exactly, or why it gives none.
HeldValue wholeNumber(const QVariant& value, Range range) {
    const QString notWhole = u"не является целым числом"_s;
    qint64 number = 0;
    const int type = value.typeId();
    if (type == QMetaType::ULongLong) {
        const qulonglong unsignedNumber = value.toULongLong();
        if (unsignedNumber > qulonglong(std::numeric_limits<qint64>::max()))
            return {value, wholeRangeText(range)};
        number = qint64(unsignedNumber);
    } else if (isIntegerType(type)) {
        number = value.toLongLong();
    } else if (isRealType(type)) {
        const double real = value.toDouble();
        if (std::isnan(real) || (std::isfinite(real) && std::trunc(real) != real))
            return {value, notWhole};
        // 2^63 is the first double beyond every qint64.
        if (!(real >= double(range.low) && real < 9223372036854775808.0 && real <= double(range.high)))
            return {value, wholeRangeText(range)};
        number = qint64(real);
    } else if (type == QMetaType::QString) {
        bool ok = false;
        const QStringView text = *static_cast<const QString*>(value.constData());
        number = text.trimmed().toLongLong(&ok);
        if (!ok)
            return {value, isNumberText(text, false) ? wholeRangeText(range) : notWhole};
    } else {
        return {value, notWhole};
    }
    if (!range.contains(number))
        return {value, wholeRangeText(range)};
    return {QVariant::fromValue<qint64>(number), {}};
}

HeldValue decimalNumber(const QVariant& value) {
    const QString notNumber = u"не является числом"_s;
    std::optional<Decimal4> decimal;
    const int type = value.typeId();
    if (type == qMetaTypeId<Decimal4>()) {
        decimal = value.value<Decimal4>();
    } else if (type == QMetaType::ULongLong || isIntegerType(type)) {
        const HeldValue whole = wholeNumber(value, {-kDecimalWholeLimit, kDecimalWholeLimit});
        if (!whole.fits())
            return {value, decimalRangeText()};
        decimal = Decimal4::fromInteger(whole.value.toLongLong());
    } else if (isRealType(type)) {
        const double real = value.toDouble();
        if (std::isnan(real))
            return {value, notNumber};
        decimal = heldDecimal(real);
        if (!decimal)
            return {value, decimalRangeText()};
    } else if (type == QMetaType::QString) {
        const QStringView text = *static_cast<const QString*>(value.constData());
        decimal = Decimal4::parse(text);
        if (!decimal)
            return {value, isNumberText(text, true) ? decimalRangeText() : notNumber};
    } else {
        return {value, notNumber};
    }
    if (std::abs(decimal->units()) > kDecimalUnitsLimit)
        return {value, decimalRangeText()};
    return {QVariant::fromValue(*decimal), {}};
}

// A number column's value as stored, a blob in the sqlite3 shell's notation.
QString storedText(const QVariant& value) {
    const int type = value.typeId();
    if (type == QMetaType::QByteArray)
        return u"X'"_s + QString::fromLatin1(value.toByteArray().toHex().toUpper()) + u'\'';
    if (isRealType(type))
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    if (type == qMetaTypeId<Decimal4>())
        return value.value<Decimal4>().toText();
    return value.toString();
}

// A value as the sqlite3 shell's quote() writes it, so the user finds it again.
QString valueLiteral(const QVariant& value) {
    if (value.typeId() == QMetaType::QString)
        return u'\'' + value.toString().replace(u'\'', u"''"_s) + u'\'';
    return storedText(value);
}

} // namespace

std::optional<QDate> parseStoredDate(QStringView text) {
    text = text.trimmed();
    if (text.size() == 10) {
        const QDate day = QDate::fromString(text, u"yyyy-MM-dd");
        return day.isValid() ? std::optional(day) : std::nullopt;
    }
    const QDateTime moment = QDateTime::fromString(text.toString(), Qt::ISODate);
    return moment.isValid() ? std::optional(moment.date()) : std::nullopt;
}

HeldValue holdValue(const ColumnDef& column, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (column.kind) {
    case ColumnKind::AutoId:
    case ColumnKind::OwnerId:
    case ColumnKind::Int16:
    case ColumnKind::UInt16:
        return wholeNumber(value, wholeRange(column.kind));
    case ColumnKind::Boolean: {
        HeldValue held = wholeNumber(value, wholeRange(column.kind));
        if (held.fits())
            held.value = held.value.toLongLong() != 0;
        return held;
    }
    case ColumnKind::Decimal:
        return decimalNumber(value);
    case ColumnKind::DateTime:
        return {QDateTime::fromString(value.toString(), Qt::ISODate), {}};
    case ColumnKind::Date: {
        if (value.typeId() == QMetaType::QDate)
            return {value, {}};
        if (value.typeId() == QMetaType::QDateTime)
            return {value.toDateTime().date(), {}};
        const std::optional<QDate> date =
            value.typeId() == QMetaType::QString ? parseStoredDate(value.toString()) : std::nullopt;
        if (!date)
            return {value, u"не является датой ГГГГ-ММ-ДД"_s};
        return {*date, {}};
    }
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return {value.toString(), {}};
    }
    return {value, {}};
}

std::optional<Decimal4> heldDecimal(double real) {
    // Checked before rounding: a far larger real does not fit the 64-bit count. NaN fails too.
    if (!(std::abs(real) < double(kDecimalWholeLimit + 1)))
        return std::nullopt;
    const Decimal4 decimal = Decimal4::fromDouble(real);
    if (std::abs(decimal.units()) > kDecimalUnitsLimit)
        return std::nullopt;
    return decimal;
}

bool holdsWhole(const ColumnDef& column, qint64 number) {
    switch (column.kind) {
    case ColumnKind::AutoId:
    case ColumnKind::OwnerId:
    case ColumnKind::Int16:
    case ColumnKind::UInt16:
        return wholeRange(column.kind).contains(number);
    default:
        return false;
    }
}

QVariant fromStorage(const ColumnDef& column, const QVariant& stored) {
    HeldValue held = holdValue(column, stored);
    return held.fits() ? std::move(held.value) : stored;
}

QVariant toStorage(const ColumnDef& column, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (column.kind) {
    case ColumnKind::Boolean:
        return value.toBool() ? 1 : 0;
    case ColumnKind::DateTime:
        return value.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    case ColumnKind::Date:
        return value.toDate().toString(u"yyyy-MM-dd"_s);
    case ColumnKind::Decimal:
        // Bound as text, so the NUMERIC column keeps the exact decimal (7.5, 10).
        return value.value<Decimal4>().toText();
    default:
        return value;
    }
}

std::optional<QString> checkValue(const ColumnDef& column, const QVariant& value) {
    if (column.kind == ColumnKind::Text && !value.isNull()) {
        const qsizetype length = value.toString().size();
        if (length > column.width)
            return u"%1: не более %2 символов (введено %3)"_s.arg(fieldName(column)).arg(column.width).arg(length);
        return std::nullopt;
    }
    const HeldValue held = holdValue(column, value);
    if (held.fits())
        return std::nullopt;
    return u"%1 = %2 %3"_s.arg(fieldName(column), valueLiteral(value), held.problem);
}

bool isHeldForm(const ColumnDef& column, const QVariant& value) {
    if (!value.isValid())
        return true;
    switch (column.kind) {
    case ColumnKind::AutoId:
    case ColumnKind::OwnerId:
    case ColumnKind::Int16:
    case ColumnKind::UInt16:
        return value.typeId() == QMetaType::LongLong;
    case ColumnKind::Boolean:
        return value.typeId() == QMetaType::Bool;
    case ColumnKind::Decimal:
        return value.typeId() == qMetaTypeId<Decimal4>();
    case ColumnKind::Date:
        return value.typeId() == QMetaType::QDate;
    default:
        return true;
    }
}

QVariant readNumber(const TableDef& table, int column, qint64 rowId, const QVariant& stored) {
    const ColumnDef& definition = table.column(column);
    HeldValue held = holdValue(definition, stored);
    if (!held.fits())
        throw StoreError(u"%1 = %2 в строке id %3 таблицы %4 %5"_s.arg(
            fieldName(definition), valueLiteral(stored), QString::number(rowId), table.shownName(), held.problem));
    return std::move(held.value);
}

void requireHeld(const TableDef& table, int column, qint64 rowId, const QVariant& value) {
    if (!isHeldForm(table.column(column), value))
        readNumber(table, column, rowId, value);
}

QString displayText(const ColumnDef& column, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    if (!isHeldForm(column, value))
        return storedText(value); // a stored value the column cannot hold, shown as it is
    switch (column.kind) {
    case ColumnKind::Decimal:
        return value.value<Decimal4>().toText();
    case ColumnKind::DateTime:
        return value.toDateTime().toString(u"dd.MM.yyyy"_s);
    case ColumnKind::Date:
        return value.toDate().toString(u"dd.MM.yyyy"_s);
    case ColumnKind::Boolean:
        return value.toBool() ? u"True"_s : u"False"_s;
    default:
        return value.toString();
    }
}

} // namespace tarvex
