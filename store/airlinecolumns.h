#pragma once

#include "schema.h"

namespace tarvex {

// The positions in tbMain of the columns an airline record takes, looked up once.
struct AirlineColumns {
    int id, airCode, airName, comment, accCode, bsp, script;
};

inline const AirlineColumns& airlineColumns() {
    static const AirlineColumns columns = [] {
        const TableDef& table = schema::tbMain();
        return AirlineColumns{table.columnIndex(u"id"),      table.columnIndex(u"AirCode"),
                              table.columnIndex(u"AirName"), table.columnIndex(u"Comment"),
                              table.columnIndex(u"AccCode"), table.columnIndex(u"BSP"),
                              table.columnIndex(u"Script")};
    }();
    return columns;
}

} // namespace tarvex
