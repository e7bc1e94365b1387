#include "airlinelistcsv.h"

#include "generationerror.h"
#include "outputfile.h"

#include <QStringEncoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// The converter marks a character it cannot map with the control character SUB.
constexpr char kSubstitute = '\x1a';

QStringEncoder windows1251() {
    return QStringEncoder("windows-1251", QStringConverter::Flag::Stateless);
}

// Calls `visit` with each character of the text (a surrogate pair as one) and its bytes
// in Windows-1251, empty for a character the code page lacks.
template <typename Visit>
void eachCharacterIn1251(QStringEncoder& encoder, QStringView text, Visit visit) {
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QStringView character = text.sliced(i, pair ? 2 : 1);
        const QByteArray one = encoder.encode(character);
        const bool lacking = one == QByteArrayView(&kSubstitute, 1) && character != u"\x1a";
        visit(character, lacking ? QByteArray() : one);
        i += character.size();
    }
}

bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
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
    eachCharacterIn1251(encoder, text, [&](QStringView, const QByteArray& one) { bytes += one.isEmpty() ? "?" : one; });
    return bytes;
}

QStringList lackingInWindows1251(QStringView text) {
    QStringList lacking;
    if (isAscii(text))
        return lacking;
    // Opening the converter costs more than a name's conversion; the check asks for every airline.
    thread_local QStringEncoder encoder = windows1251();
    if (!QByteArray(encoder.encode(text)).contains(kSubstitute))
        return lacking;
    eachCharacterIn1251(encoder, text, [&](QStringView character, const QByteArray& one) {
        if (one.isEmpty() && !lacking.contains(character))
            lacking << character.toString();
    });
    return lacking;
}

AirlineListCsv::AirlineListCsv()
    : m_pieces(toWindows1251) {
    if (!windows1251().isValid())
        throw GenerationError(u"Кодировка Windows-1251 недоступна: список авиакомпаний не может быть записан"_s);
}

void AirlineListCsv::addAirline(const AirlineRecord& airline, const ConditionList&) {
    m_text.append(airline.airCode).append(u';').append(airline.airName).append(u';').append(airline.accCode);
    m_text.append(u"\r\n");
    m_pieces.passOn(m_text);
}

void AirlineListCsv::writeTo(OutputFile& file) {
    m_pieces.writeTo([&file](const QByteArray& bytes) { file.write(bytes); });
}

QByteArray AirlineListCsv::finish() {
    return m_pieces.finish(m_text);
}

} // namespace tarvex
