#pragma once

#include "airlinesink.h"
#include "commissionentry.h"
#include "encodedpieces.h"
#include "spoolfile.h"

#include <QByteArray>
#include <QString>

#include <initializer_list>
#include <memory>

namespace tarvex {

class OutputFile;

// Composes the Smart Flow script for Amadeus SellConnect: one line that selects the
// validating airline from a list and then, in one "if" block per airline, sends its
// commission at once or after a choice between its conditions.
class SmartFlowScript : public AirlineSink {
public:
    explicit SmartFlowScript(bool withRemarks);

    bool wantsConditions(const AirlineRecord& airline) const override { return airline.script; }
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

    // From now on the statements are set aside in a spool beside the file as the airlines
    // come; finish() writes the prompt and the airline list before them.
    void writeTo(OutputFile& file);
    // The file: one line in UTF-8 without byte-order mark, ended by CR LF.
    // dateText: the date of generation shown in the prompt. Returns the bytes not yet
    // written: the whole file when writeTo() was not called.
    QByteArray finish(const QString& dateText);

private:
    // One statement, from the pieces it is made of.
    void addItem(std::initializer_list<QStringView> pieces);
    void addMenu(const QString& key, const AirlineRecord& airline, const ConditionList& conditions);
    void addCommandItems(const ConditionRecord& condition, EntryRule rule);

    bool m_withRemarks;
    QByteArray m_keyList; // the airline keys, separated by commas, in UTF-8: half the memory of the text
    QString m_body;       // statements not yet handed on, already run together into one line
    EncodedPieces m_pieces;
    OutputFile* m_file = nullptr;
    std::unique_ptr<SpoolFile> m_spool;
};

} // namespace tarvex
