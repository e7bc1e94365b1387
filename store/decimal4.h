#pragma once

#include <QMetaType>
#include <QString>

#include <compare>
#include <cstdint>
#include <optional>

namespace tarvex {

// A decimal number with exactly four places after the point, held as a count of
// ten-thousandths. Percentages are kept and printed in this type, never in binary
// floating point, so 7.5 stays 7.5 and 0.125 stays 0.125 in every output.
class Decimal4 {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Decimal4() = default;
    static constexpr Decimal4 fromUnits(std::int64_t tenThousandths) { return Decimal4(tenThousandths); }
    // The caller keeps `whole` and `value` within the range of a register percentage
    // (holdValue() checks values read from the store): beyond it the count overflows.
    static constexpr Decimal4 fromInteger(std::int64_t whole) { return Decimal4(whole * kScale); }

    // Rounds a finite value to the nearest ten-thousandth.
    static Decimal4 fromDouble(double value);

    // Parses a plain decimal text ("7.5", "-0,125", "10"); more than four decimals are
    // rounded half away from zero. Returns nothing for text that is not such a number.
    static std::optional<Decimal4> parse(QStringView text);

    constexpr std::int64_t units() const { return m_units; }
    double toDouble() const { return double(m_units) / kScale; }

    // The shortest decimal form with "." as separator whatever the locale:
    // 10, 7.5, 0.125, -3.0001.
    QString toText() const;

    friend constexpr auto operator<=>(Decimal4, Decimal4) = default;

private:
    constexpr explicit Decimal4(std::int64_t units)
        : m_units(units) {}

    std::int64_t m_units = 0;
};

// The percent text of a commission condition: a missing percentage counts as 0.
QString percentText(const std::optional<Decimal4>& percent);

// A whole number as QString::number() writes it (-12, 0, 345), without its locale
// machinery, which costs more than the rest of a script line.
QString wholeNumberText(std::int64_t number);

} // namespace tarvex

Q_DECLARE_METATYPE(tarvex::Decimal4)
