#include "airlinewalk.h"

#include "datamodule.h"
#include "runobserver.h"

#include <cmath>

namespace tarvex {

namespace {

// Column positions of tbMain, fixed by the register's format.
enum MainColumn { MainId = 0, AirCode = 1, AirName = 2, Comment = 5, AccCode = 6, Bsp = 7, Script = 11 };

QString textAt(const TableCursor& table, int column)
{
    return table.value(column).toString();
}

AirlineRecord currentAirline(const TableCursor& table)
{
    AirlineRecord airline;
    airline.id = std::int32_t(table.value(MainId).toLongLong());
    airline.airCode = textAt(table, AirCode);
    airline.airName = textAt(table, AirName);
    airline.comment = textAt(table, Comment);
    airline.accCode = textAt(table, AccCode);
    airline.bsp = table.value(Bsp).toBool();
    airline.script = table.value(Script).toBool();
    return airline;
}

} // namespace

int shareDone(int done, int count)
{
    if (count <= 0)
        return 100;
    return int(std::lround(double(done) * 100.0 / double(count)));
}

void walkAirlines(TDataModule1& data, int count, AirlineSink& sink, RunObserver& observer)
{
    TableCursor& airlines = data.tbMain;
    airlines.first();
    int lastShare = -1;
    for (int index = 0; index < count && !airlines.eof(); ++index) {
        const AirlineRecord airline = currentAirline(airlines);
        const ConditionList conditions =
            sink.wantsConditions(airline) ? data.SQLQuery.conditionsOf(airline.id) : ConditionList();
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
