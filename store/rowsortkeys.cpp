#include "rowsortkeys.h"

#include "decimal4.h"

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
    ColumnKeys(const HeldRows& rows, int column)
        : m_kind(rows.table().column(column).kind) {
        m_null.reserve(std::size_t(rows.size()));
        for (int row = 0; row < rows.size(); ++row) {
            m_null.push_back(rows.isNull(row, column));
            // A value kept as stored (heldrows.h) is rare, and read through QVariant.
            const bool held = rows.isHeld(row, column);
            switch (m_kind) {
            case ColumnKind::Text:
            case ColumnKind::Memo:
                m_texts.push_back(rankedText(held ? rows.text(row, column) : rows.value(row, column).toString()));
                break;
            case ColumnKind::DateTime:
                m_moments.push_back(held ? rows.moment(row, column) : rows.value(row, column).toDateTime());
                break;
            default:
                m_numbers.push_back(held ? rows.number(row, column) : keptNumber(rows.value(row, column)));
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
    static std::u16string rankedText(const QString& text) {
        std::u16string ranked(std::size_t(text.size()), u'\0');
        std::transform(text.cbegin(), text.cend(), ranked.begin(),
                       [](QChar unit) { return codePointRank(unit.unicode()); });
        return ranked;
    }

    // The number a held cell of the column keeps (HeldRows::number()), as near as a stored value gives one.
    qint64 keptNumber(const QVariant& value) const {
        switch (m_kind) {
        case ColumnKind::Decimal:
            return value.value<Decimal4>().units();
        case ColumnKind::Date:
            return value.toDate().toJulianDay(); // the order of QDate, an invalid one first
        default:
            return value.toLongLong();
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

std::vector<int> rowsInSortOrder(const HeldRows& rows, int column, bool descending) {
    std::vector<int> order(std::size_t(rows.size()));
    std::iota(order.begin(), order.end(), 0);
    if (column < 0)
        return order;
    std::vector<qint64> ids;
    ids.reserve(std::size_t(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        ids.push_back(rows.id(row));
    const ColumnKeys keys(rows, column);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int byColumn = keys.compare(a, b);
        if (byColumn != 0)
            return descending ? byColumn > 0 : byColumn < 0;
        return ids[a] < ids[b];
    });
    return order;
}

} // namespace tarvex
