#pragma once

#include <sqlite3.h>

/* The columns the walk selects, in this order, from each table. */
enum AirlineColumn {
    AIRLINE_ID,
    AIRLINE_CODE,
    AIRLINE_NAME,
    AIRLINE_COMMISSION,
    AIRLINE_FEE,
    AIRLINE_COMMENT,
    AIRLINE_IATA,
    AIRLINE_BSP,
    AIRLINE_CONTRACT,
    AIRLINE_CONTRACT_END,
    AIRLINE_COUNTERPARTY,
    AIRLINE_SCRIPT
};
enum ConditionColumn {
    CONDITION_ID,
    CONDITION_OWNER,
    CONDITION_WORDING,
    CONDITION_PERCENT,
    CONDITION_SUM,
    CONDITION_CURRENCY,
    CONDITION_REMARKS,
    CONDITION_VALIDATOR_LENGTH,
    CONDITION_FEE,
    CONDITION_FROM,
    CONDITION_TILL
};

/* Called with the statement positioned on the row; a non-zero return stops the walk. */
typedef int (*RowVisitor)(sqlite3_stmt* row, void* context);

/* Walks the register inside one read transaction: the airlines in code order, each followed by
   its conditions in id order. Returns 0, or prints what failed to stderr and returns 1. */
int walk_register(sqlite3* db, RowVisitor on_airline, RowVisitor on_condition, void* context);

/* Opens the register read-only; prints the reason and returns NULL when it cannot. */
sqlite3* open_register(const char* path);
