#include "airlinelistcsv.h"

#include "generationerror.h"

#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// The converter marks a character it cannot map with the control character SUB.
constexpr char kSubstitute = '\x1a';

QStringEncoder windows1251() {
    return QStringEncoder("windows-1251", QStringConverter::Flag::Stateless);
}

} // namespace

QByteArray toWindows1251(QStringView text) {
    QStringEncoder encoder = windows1251();
    QByteArray bytes = encoder.encode(text);
    if (!bytes.contains(kSubstitute))
        return bytes;

    // Rare: find which characters were unmappable and write "?" for them. A SUB that
    // stood in the text itself stays.
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QStringView character = text.sliced(i, pair ? 2 : 1);
        const QByteArray one = encoder.encode(character);
        bytes += (one == QByteArrayView(&kSubstitute, 1) && character != u"\x1a") ? QByteArrayView("?") : one;
        i += character.size();
    }
    return bytes;
}

AirlineListCsv::AirlineListCsv() {
    if (!windows1251().isValid())
        throw GenerationError(u"Кодировка Windows-1251 недоступна: список авиакомпаний не может быть записан"_s);
}

void AirlineListCsv::addAirline(const AirlineRecord& airline, const ConditionList&) {
    m_text += airline.airCode + u';' + airline.airName + u';' + airline.accCode + u"\r\n"_s;
}

QByteArray AirlineListCsv::finish() const {
    return toWindows1251(m_text);
}

} // namespace tarvex
