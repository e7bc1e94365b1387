#pragma once

#include "generation/scriptcheck.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QTemporaryFile>

#include <cstdint>
#include <optional>

class QTextStream;

namespace tarvex {

// The findings of the scripts a command writes, as the command-line tool prints them: one
// line each (findingLine()), errors first, each once in a run. They are set aside as the
// walk finds them, the warnings in a temporary file once they are many, so a register
// with findings for every airline is never held whole.
class FindingPrinter : public FindingReceiver {
public:
    // severalOutputs: the run writes more than one output, and a finding printed for one
    // is not printed again for another.
    explicit FindingPrinter(bool severalOutputs);

    // Throws GenerationError when the temporary file cannot take the findings.
    void receive(const ScriptFinding& finding) override;

    // Prints the findings received since the last print() or drop(), then forgets them.
    void print(QTextStream& stream);
    // Forgets them unprinted: their output failed.
    void drop();

private:
    void setAside();

    bool m_severalOutputs;
    QByteArray m_errors;
    QByteArray m_warnings;      // the warnings not yet in the file
    QTemporaryFile m_spool;     // the warnings beyond what m_warnings holds
    qint64 m_spooled = 0;       // bytes of the current output in the file
    QList<QByteArray> m_lines;  // of the current output, kept only for a run of several outputs
    QSet<QByteArray> m_printed; // every line printed for an earlier output of the run

    // A line repeats only within one airline, as each line names the airline's id.
    std::optional<std::int64_t> m_airlineId;
    QList<QByteArray> m_airlineLines;
};

} // namespace tarvex
