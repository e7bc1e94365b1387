#include "decimal4.h"

#include <cmath>
#include <iterator>

namespace tarvex {

Decimal4 Decimal4::fromDouble(double value) {
    return Decimal4(std::llround(value * double(kScale)));
}

std::optional<Decimal4> Decimal4::parse(QStringView text) {
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;

    constexpr std::int64_t kMaxWhole = 100'000'000'000'000; // 10^14: 18 digits in all
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int fractionDigits = 0;
    bool roundUp = false;
    bool seenSeparator = false;
    bool seenDigit = false;
    for (QChar c : text) {
        if (c == u'.' || c == u',') {
            if (seenSeparator)
                return std::nullopt;
            seenSeparator = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        seenDigit = true;
        const int digit = c.unicode() - u'0';
        if (!seenSeparator) {
            whole = whole * 10 + digit;
            if (whole >= kMaxWhole)
                return std::nullopt;
        } else if (fractionDigits < 4) {
            fraction = fraction * 10 + digit;
            ++fractionDigits;
        } else if (fractionDigits == 4) {
            roundUp = digit >= 5;
            ++fractionDigits;
        }
    }
    if (!seenDigit)
        return std::nullopt;
    for (int i = std::min(fractionDigits, 4); i < 4; ++i)
        fraction *= 10;
    std::int64_t units = whole * kScale + fraction + (roundUp ? 1 : 0);
    return Decimal4(negative ? -units : units);
}

namespace {

// Writes the number's digits just before `first`, at least `width` of them (leading zeros), and
// returns where they begin.
char16_t* putDigitsBefore(char16_t* first, std::uint64_t number, int width) {
    char16_t* const widest = first - width;
    do {
        *--first = char16_t(u'0' + number % 10);
        number /= 10;
    } while (number != 0 || first > widest);
    return first;
}

// The text from `first` to the end of the buffer, a minus sign before it when negative.
template <std::size_t size>
QString textFrom(char16_t (&buffer)[size], char16_t* first, bool negative) {
    if (negative)
        *--first = u'-';
    return QString(reinterpret_cast<const QChar*>(first), std::end(buffer) - first);
}

// Unsigned, so that the most negative number cannot overflow.
std::uint64_t magnitudeOf(std::int64_t number) {
    return number < 0 ? 0 - std::uint64_t(number) : std::uint64_t(number);
}

// A sign, at most 19 digits, a point and 4 decimals.
constexpr std::size_t kLongestText = 25;

} // namespace

// Composed from the last digit back: the scripts write numbers for every condition.
QString Decimal4::toText() const {
    char16_t buffer[kLongestText];
    char16_t* first = std::end(buffer);
    const std::uint64_t magnitude = magnitudeOf(m_units);
    std::uint64_t fraction = magnitude % kScale;
    if (fraction != 0) {
        int digits = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        first = putDigitsBefore(first, fraction, digits);
        *--first = u'.';
    }
    return textFrom(buffer, putDigitsBefore(first, magnitude / kScale, 1), m_units < 0);
}

QString percentText(const std::optional<Decimal4>& percent) {
    return percent.value_or(Decimal4()).toText();
}

QString wholeNumberText(std::int64_t number) {
    char16_t buffer[kLongestText];
    return textFrom(buffer, putDigitsBefore(std::end(buffer), magnitudeOf(number), 1), number < 0);
}

} // namespace tarvex
