#include "airlinewalk.h"

#include "runobserver.h"
#include "store/registerstore.h"

#include <cmath>

namespace tarvex {

namespace {

// Column positions of tbMain, fixed by the register's format.
enum MainColumn { MainId = 0, AirCode = 1, AirName = 2, Comment = 5, AccCode = 6, Bsp = 7, Script = 11 };

AirlineRecord currentAirline(const TableCursor& table) {
    AirlineRecord airline;
    airline.id = std::int32_t(heldInteger(table.value(MainId)));
    airline.airCode = heldText(table.value(AirCode));
    airline.airName = heldText(table.value(AirName));
    airline.comment = heldText(table.value(Comment));
    airline.accCode = heldText(table.value(AccCode));
    airline.bsp = heldBool(table.value(Bsp));
    airline.script = heldBool(table.value(Script));
    return airline;
}

} // namespace

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
    for (int index = 0; index < count && !airlines.eof(); ++index) {
        const AirlineRecord airline = currentAirline(airlines);
        const ConditionList conditions =
            sink.wantsConditions(airline) ? data.sharedQuery().conditionsOf(airline.id) : ConditionList();
        sink.addAirline(airline, conditions);
        airlines.next();
        const int share = shareDone(index + 1, count);
        if (share != lastShare) {
            observer.progressChanged(share);
            lastShare = share;
        }
    }
}

} // namespace tarvex
