#include "airlinewalk.h"

#include "runobserver.h"
#include "store/registerstore.h"

#include <cmath>

namespace tarvex {

namespace {

// Column positions of tbMain, fixed by the register's format.
enum MainColumn { MainId = 0, AirCode = 1, AirName = 2, Comment = 5, AccCode = 6, Bsp = 7, Script = 11 };

// A number of the current row, refused when the stored value is not one its field holds.
const QVariant& numberOf(const TableCursor& table, int column, qint64 rowId) {
    const QVariant& value = table.value(column);
    requireHeld(table.table(), column, rowId, value);
    return value;
}

} // namespace

AirlineRecord currentAirline(const TableCursor& table) {
    AirlineRecord airline;
    airline.id = heldInteger(table.value(MainId)); // the store's own key: always a 64-bit integer
    airline.airCode = heldText(table.value(AirCode));
    airline.airName = heldText(table.value(AirName));
    airline.comment = heldText(table.value(Comment));
    airline.accCode = heldText(table.value(AccCode));
    airline.bsp = heldBool(numberOf(table, Bsp, airline.id));
    airline.script = heldBool(numberOf(table, Script, airline.id));
    return airline;
}

int shareDone(int done, int count) {
    if (count <= 0)
        return 100;
    return int(std::lround(double(done) * 100.0 / double(count)));
}

void walkAirlines(RegisterStore& data, int count, AirlineSink& sink, RunObserver& observer) {
    const ReadSnapshot snapshot(data.connection());
    TableCursor& airlines = data.airlines();
    airlines.first();
    int lastShare = -1;
    const ConditionList none;
    ConditionList conditions; // reused from airline to airline
    for (int index = 0; index < count && !airlines.eof(); ++index) {
        const AirlineRecord airline = currentAirline(airlines);
        if (sink.wantsConditions(airline)) {
            data.sharedQuery().readConditionsOf(airline.id, conditions);
            sink.addAirline(airline, conditions);
        } else {
            sink.addAirline(airline, none);
        }
        airlines.next();
        const int share = shareDone(index + 1, count);
        if (share != lastShare) {
            observer.progressChanged(share);
            lastShare = share;
        }
    }
}

} // namespace tarvex
