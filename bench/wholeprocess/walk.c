/* The floor for a script: walks the register as the scripts need it and reads every column of every
   row, writing nothing but a count and a checksum, so that nothing but SQLite is measured. */

#include "registerwalk.h"

#include <stdio.h>

struct Tally {
    long long airlines;
    long long conditions;
    unsigned long long checksum;
};

static void read_every_column(sqlite3_stmt* row, struct Tally* tally) {
    const int columns = sqlite3_column_count(row);
    for (int column = 0; column < columns; ++column) {
        switch (sqlite3_column_type(row, column)) {
        case SQLITE_INTEGER:
            tally->checksum += (unsigned long long)sqlite3_column_int64(row, column);
            break;
        case SQLITE_FLOAT:
            tally->checksum += (unsigned long long)(sqlite3_column_double(row, column) * 100);
            break;
        case SQLITE_NULL:
            break;
        default: {
            const unsigned char* text = sqlite3_column_text(row, column);
            tally->checksum += (unsigned long long)sqlite3_column_bytes(row, column) + (text ? text[0] : 0);
        }
        }
    }
}

static int count_airline(sqlite3_stmt* row, void* context) {
    struct Tally* tally = context;
    ++tally->airlines;
    read_every_column(row, tally);
    return 0;
}

static int count_condition(sqlite3_stmt* row, void* context) {
    struct Tally* tally = context;
    ++tally->conditions;
    read_every_column(row, tally);
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s REGISTER\n", argv[0]);
        return 2;
    }
    sqlite3* db = open_register(argv[1]);
    if (!db)
        return 1;
    struct Tally tally = {0, 0, 0};
    const int result = walk_register(db, count_airline, count_condition, &tally);
    sqlite3_close(db);
    if (result == 0)
        printf("%lld airlines, %lld conditions, checksum %llu\n", tally.airlines, tally.conditions, tally.checksum);
    return result;
}
