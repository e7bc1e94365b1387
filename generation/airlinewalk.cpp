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

void walkAirlines(RegisterStore& data, int count, AirlineSink& sink, RunObserver& observer) {
    const ReadSnapshot snapshot(data.connection());
    const TableCursor& airlines = data.airlines();
    count = std::min(count, airlines.recordCount());
    int lastShare = -1;
    const ConditionList none;
    ConditionList conditions; // reused from airline to airline
    for (int index = 0; index < count; ++index) {
        const AirlineRecord airline = airlineAt(airlines, index);
        if (sink.wantsConditions(airline)) {
            data.sharedQuery().readConditionsOf(airline.id, conditions);
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
