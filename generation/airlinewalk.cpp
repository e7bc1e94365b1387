#include "airlinewalk.h"

#include "runobserver.h"
#include "store/airlinerows.h"
#include "store/registerstore.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

int shareDone(int done, int count) {
    if (count <= 0)
        return 100;
    return int(std::lround(double(done) * 100.0 / double(count)));
}

void walkAirlines(RegisterStore& store, int count, AirlineSink& sink, RunObserver& observer) {
    const ReadSnapshot snapshot(store.connection());
    const TableCursor& airlines = store.airlines();
    count = std::min(count, airlines.recordCount());
    int lastShare = -1;
    const ConditionList none;
    ConditionList conditions; // reused from airline to airline
    for (int index = 0; index < count; ++index) {
        const AirlineRecord airline = airlineAt(airlines, index);
        if (sink.wantsConditions(airline)) {
            store.conditionQuery().readConditionsOf(airline.id, conditions);
            sink.addAirline(airline, conditions);
        } else {
            sink.addAirline(airline, none);
        }
        const int share = shareDone(index + 1, count);
        if (share != lastShare) {
            observer.progressChanged(share);
            lastShare = share;
        }
    }
}

} // namespace tarvex
