#pragma once

#include "airlinesink.h"
#include "commissionentry.h"

#include <QByteArray>
#include <QString>

namespace tarvex {

// Composes the Smart Flow script for Amadeus SellConnect: one line that selects the
// validating airline from a list and then, in one "if" block per airline, sends its
// commission at once or after a choice between its conditions.
class SmartFlowScript : public AirlineSink {
public:
    explicit SmartFlowScript(bool withRemarks);

    bool wantsConditions(const AirlineRecord& airline) const override { return airline.script; }
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

    // The file: one line in UTF-8 without byte-order mark, ended by CR LF.
    // dateText: the date of generation shown in the prompt.
    QByteArray finish(const QString& dateText) const;

private:
    void addItem(QStringView item);
    void addMenu(const QString& key, const AirlineRecord& airline, const ConditionList& conditions);
    void addCommandItems(const ConditionRecord& condition, EntryRule rule);

    bool m_withRemarks;
    QString m_keyList; // the airline keys, separated by commas
    QString m_body;    // the statements, already run together into one line
};

} // namespace tarvex
