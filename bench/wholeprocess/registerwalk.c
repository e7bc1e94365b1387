#include "registerwalk.h"

#include <stdio.h>

static int failed(sqlite3* db, const char* what) {
    fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
    return 1;
}

sqlite3* open_register(const char* path) {
    sqlite3* db = NULL;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, NULL) != SQLITE_OK) {
        failed(db, path);
        sqlite3_close(db);
        return NULL;
    }
    return db;
}

static int walk_rows(sqlite3* db, sqlite3_stmt* airlines, sqlite3_stmt* conditions, RowVisitor on_airline,
                     RowVisitor on_condition, void* context) {
    int step;
    while ((step = sqlite3_step(airlines)) == SQLITE_ROW) {
        if (on_airline(airlines, context))
            return 1;
        sqlite3_bind_int64(conditions, 1, sqlite3_column_int64(airlines, AIRLINE_ID));
        int inner;
        while ((inner = sqlite3_step(conditions)) == SQLITE_ROW) {
            if (on_condition(conditions, context))
                return 1;
        }
        if (inner != SQLITE_DONE)
            return failed(db, "reading conditions");
        sqlite3_reset(conditions);
    }
    return step == SQLITE_DONE ? 0 : failed(db, "reading airlines");
}

int walk_register(sqlite3* db, RowVisitor on_airline, RowVisitor on_condition, void* context) {
    static const char* const airline_query =
        "SELECT id, AirCode, AirName, Commision, Fee, Comment, AccCode, BSP, Dog, DogDate, ContrAgent, Script "
        "FROM tbMain ORDER BY AirCode, id";
    static const char* const condition_query =
        "SELECT id, ComId, ComCondition, ComPCT, ComSum, ComVal, Remarks, ValLen, Fee, ComFrom, ComTill "
        "FROM tbComm WHERE ComId = ? ORDER BY id";
    if (sqlite3_exec(db, "BEGIN", NULL, NULL, NULL) != SQLITE_OK)
        return failed(db, "BEGIN");
    sqlite3_stmt* airlines = NULL;
    sqlite3_stmt* conditions = NULL;
    int result;
    if (sqlite3_prepare_v2(db, airline_query, -1, &airlines, NULL) != SQLITE_OK)
        result = failed(db, airline_query);
    else if (sqlite3_prepare_v2(db, condition_query, -1, &conditions, NULL) != SQLITE_OK)
        result = failed(db, condition_query);
    else
        result = walk_rows(db, airlines, conditions, on_airline, on_condition, context);
    sqlite3_finalize(conditions);
    sqlite3_finalize(airlines);
    if (sqlite3_exec(db, "COMMIT", NULL, NULL, NULL) != SQLITE_OK)
        result = failed(db, "COMMIT");
    return result;
}
