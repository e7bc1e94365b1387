#include "airlinewalk.h"

#include "runobserver.h"
#include "store/airlinestream.h"

#include <cmath>

namespace tarvex {

int shareDone(int done, int count) {
    if (count <= 0)
        return 100;
    return int(std::lround(double(done) * 100.0 / double(count)));
}

void walkAirlines(RegisterStore& store, AirlineSink& sink, RunObserver& observer) {
    AirlineStream stream(store,
                         sink.readsConditions() ? AirlineStream::Conditions::Read : AirlineStream::Conditions::Skip);
    const bool showsProgress = observer.showsProgress();
    const int count = showsProgress ? stream.airlineCount() : 0;
    int lastShare = -1;
    int done = 0;
    AirlineRecord airline; // reused from airline to airline, as are the conditions
    ConditionList conditions;
    const ConditionList none;
    while (stream.nextAirline(airline)) {
        if (sink.wantsConditions(airline)) {
            stream.takeConditions(&conditions);
            sink.addAirline(airline, conditions);
        } else {
            stream.takeConditions(nullptr);
            sink.addAirline(airline, none);
        }
        ++done;
        if (const int share = shareDone(done, count); showsProgress && share != lastShare) {
            observer.progressChanged(share);
            lastShare = share;
        }
    }
}

} // namespace tarvex
