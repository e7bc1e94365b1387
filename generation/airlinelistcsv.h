#pragma once

#include "airlinesink.h"
#include "encodedpieces.h"

#include <QByteArray>
#include <QStringList>

namespace tarvex {

class OutputFile;

// The airline list for the agency's other programs: one line "code;name;IATA code"
// per airline, fields as stored and unquoted, CR LF after every line, in Windows-1251
// with "?" for characters that code page lacks.
class AirlineListCsv : public AirlineSink {
public:
    AirlineListCsv();

    bool wantsConditions(const AirlineRecord&) const override { return false; }
    bool readsConditions() const override { return false; }
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

    // From now on the lines are written there in pieces as they come.
    void writeTo(OutputFile& file);
    // The bytes not yet written: the whole file when writeTo() was not called.
    QByteArray finish();

private:
    QString m_text; // lines not yet handed on
    EncodedPieces m_pieces;
};

// Text in Windows-1251; a character the code page lacks becomes "?".
QByteArray toWindows1251(QStringView text);

// The characters of the text that Windows-1251 lacks, each once, in the order they
// first appear (a character outside the BMP as its surrogate pair).
QStringList lackingInWindows1251(QStringView text);

} // namespace tarvex
