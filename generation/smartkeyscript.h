#pragma once

#include "airlinesink.h"
#include "commissionentry.h"
#include "encodedpieces.h"
#include "smartkeylines.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <initializer_list>

namespace tarvex {

class OutputFile;

// Composes the Smart Key script for Amadeus Vista: a choice of the validating airline
// by its code, each branch entering the airline's commission at once or through a
// numbered menu of its conditions.
class SmartKeyScript : public AirlineSink {
public:
    // prefix: Amadeus commands run before every commission entry;
    // dateText: the date of generation shown in the heading.
    SmartKeyScript(QString prefix, bool withRemarks, const QString& dateText);

    bool wantsConditions(const AirlineRecord& airline) const override { return airline.script; }
    void addAirline(const AirlineRecord& airline, const ConditionList& conditions) override;

    // From now on the script is written there in pieces as the airlines come.
    void writeTo(OutputFile& file);
    // The file is UTF-8 without byte-order mark, every line ended by CR LF. Returns the
    // bytes not yet written: the whole file when writeTo() was not called.
    QByteArray finish();

private:
    // Appends the parts as one item.
    void addItem(std::initializer_list<QStringView> parts);
    void addMenu(const AirlineRecord& airline, const ConditionList& conditions);
    // Opens a command with the prefix, enters the commission with its remarks and
    // closes with the given ending.
    void addCommissionItem(QStringView lead, const ConditionRecord& condition, EntryRule rule, QStringView ending);

    QString m_prefix;
    bool m_withRemarks;
    QString m_item; // the item being composed, reused from item to item
    SmartKeyLineJoiner m_joiner;
    EncodedPieces m_pieces;
};

} // namespace tarvex
