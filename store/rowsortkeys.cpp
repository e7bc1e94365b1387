#include "rowsortkeys.h"

#include "decimal4.h"
#include "heldvalue.h"

#include <QDateTime>

#include <algorithm>
#include <numeric>
#include <string>

namespace tarvex {

namespace {

// In UTF-16, surrogates (D800-DFFF) sort below E000-FFFF; as code points they sort above.
char16_t codePointRank(char16_t unit) {
    if (unit >= 0xE000)
        return char16_t(unit - 0x800);
    if (unit >= 0xD800)
        return char16_t(unit + 0x2000);
    return unit;
}

int threeWay(const auto& x, const auto& y) {
    return x < y ? -1 : (y < x ? 1 : 0);
}

// One column's values of every row, each in the one form its kind compares in: a text as
// its units ranked by code point (so that plain unit order is code point order), a date
// and time as itself, everything else as a whole number.
class ColumnKeys {
public:
    ColumnKeys(const ColumnDef& column, const std::vector<QVariantList>& rows, int index)
        : m_kind(column.kind) {
        m_null.reserve(rows.size());
        for (const QVariantList& row : rows) {
            const QVariant& value = row[index];
            m_null.push_back(!value.isValid()); // NULL is held as an invalid QVariant
            switch (m_kind) {
            case ColumnKind::Text:
            case ColumnKind::Memo:
                m_texts.push_back(rankedText(value));
                break;
            case ColumnKind::DateTime:
                m_moments.push_back(value.isValid() ? value.toDateTime() : QDateTime());
                break;
            default:
                m_numbers.push_back(value.isValid() ? wholeNumber(value) : 0);
                break;
            }
        }
    }

    int compare(int a, int b) const {
        if (m_null[a] || m_null[b])
            return int(m_null[b]) - int(m_null[a]); // NULL first
        switch (m_kind) {
        case ColumnKind::Text:
        case ColumnKind::Memo:
            return threeWay(m_texts[a], m_texts[b]);
        case ColumnKind::DateTime:
            return threeWay(m_moments[a], m_moments[b]);
        default:
            return threeWay(m_numbers[a], m_numbers[b]);
        }
    }

private:
    static std::u16string rankedText(const QVariant& value) {
        const QString text = heldText(value);
        std::u16string ranked(std::size_t(text.size()), u'\0');
        std::transform(text.cbegin(), text.cend(), ranked.begin(),
                       [](QChar unit) { return codePointRank(unit.unicode()); });
        return ranked;
    }

    qint64 wholeNumber(const QVariant& value) const {
        switch (m_kind) {
        case ColumnKind::Decimal:
            return value.value<Decimal4>().units();
        case ColumnKind::Date:
            return value.toDate().toJulianDay(); // the order of QDate, an invalid one first
        default:
            return heldInteger(value);
        }
    }

    ColumnKind m_kind;
    std::vector<char> m_null;
    std::vector<std::u16string> m_texts;
    std::vector<QDateTime> m_moments;
    std::vector<qint64> m_numbers;
};

} // namespace

int compareCodePoints(QStringView a, QStringView b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = codePointRank(a[i].unicode());
        const char16_t y = codePointRank(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::vector<int> rowsInSortOrder(const TableDef& table, int column, bool descending,
                                 const std::vector<QVariantList>& rows) {
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    if (column < 0)
        return order;
    std::vector<qint64> ids;
    ids.reserve(rows.size());
    for (const QVariantList& row : rows)
        ids.push_back(heldInteger(row[0]));
    const ColumnKeys keys(table.columns[column], rows, column);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int byColumn = keys.compare(a, b);
        if (byColumn != 0)
            return descending ? byColumn > 0 : byColumn < 0;
        return ids[a] < ids[b];
    });
    return order;
}

} // namespace tarvex
