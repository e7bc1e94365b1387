#pragma once

#include "airlinesink.h"

#include <QByteArray>
#include <QStringList>

namespace tarvex {

// The airline list for the agency's other programs: one line "code;name;IATA code"
// per airline, fields as stored and unquoted, CR LF after every line, in Windows-1251
// with "?" for characters that code page lacks.
class AirlineListCsv : public AirlineSink {
public:
    AirlineListCsv();

    bool wantsConditions(const AirlineRecord&) const override { return false; }
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

    QByteArray finish() const;

private:
    QString m_text;
};

// Text in Windows-1251; a character the code page lacks becomes "?".
QByteArray toWindows1251(QStringView text);

// The characters of the text that Windows-1251 lacks, each once, in the order they
// first appear (a character outside the BMP as its surrogate pair).
QStringList lackingInWindows1251(QStringView text);

} // namespace tarvex
