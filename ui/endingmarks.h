#pragma once

#include "store/expiry.h"

#include <QHash>
#include <QString>

namespace tarvex {

// How the main window marks an airline whose contract or a condition ends soon or has ended.
struct EndingMark {
    bool ended = false; // something of the airline has already ended
    QString text;       // what ends when, a line each, for the tooltip
};

// The marks of the airlines the items name, by airline id, as of `today`.
QHash<qint64, EndingMark> endingMarks(const QList<EndingItem>& items, QDate today);

} // namespace tarvex
