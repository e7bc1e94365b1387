#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace tarvex {

class RegisterStore;

// A contract or a condition whose last day is near or past.
struct EndingItem {
    enum class What { Contract, Condition };
    QString airCode;
    qint64 airlineId = 0;
    std::optional<qint64> conditionId; // set for a condition
    QString wording;                   // the condition's wording; empty for a contract
    What what = What::Contract;
    QDate lastDay;

    friend bool operator==(const EndingItem&, const EndingItem&) = default;
};

// Every contract (tbMain.DogDate) and condition (tbComm.ComTill) of the register whose
// last day is at most `days` days after `today`, those already ended included: airlines in
// code order, each with its contract first and then its conditions in the order they were
// made. Read from the register as it is now. Throws StoreError.
QList<EndingItem> endingSoon(RegisterStore& store, QDate today, int days);

// The word a report writes for what ends: "contract" or "condition".
QString endingWhatToken(EndingItem::What what);

} // namespace tarvex
