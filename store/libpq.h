#pragma once

#include <libpq-fe.h>

namespace tarvex {

// The parts of libpq the store calls itself, loaded the first time they are needed. Only a
// register on a server needs them, and then Qt's PostgreSQL driver has loaded libpq already;
// a command on a register file never loads it, nor the two dozen libraries libpq brings
// (TLS, Kerberos, LDAP), which every start of the program would otherwise pay for.
struct Libpq {
    decltype(&PQconnectStartParams) connectStartParams;
    decltype(&PQconnectPoll) connectPoll;
    decltype(&PQconnectionNeedsPassword) connectionNeedsPassword;
    decltype(&PQconsumeInput) consumeInput;
    decltype(&PQdb) db;
    decltype(&PQerrorMessage) errorMessage;
    decltype(&PQfinish) finish;
    decltype(&PQpingParams) pingParams;
    decltype(&PQsetErrorVerbosity) setErrorVerbosity;
    decltype(&PQsocket) socket;
    decltype(&PQstatus) status;
    decltype(&PQuser) user;
    // Results of commands sent on a connection of Qt's driver (serverairlinesource.cpp).
    decltype(&PQexec) exec;
    decltype(&PQsendQuery) sendQuery;
    decltype(&PQgetResult) getResult;
    decltype(&PQresultStatus) resultStatus;
    decltype(&PQresultErrorField) resultErrorField;
    decltype(&PQresultErrorMessage) resultErrorMessage;
    decltype(&PQntuples) ntuples;
    decltype(&PQgetvalue) getvalue;
    decltype(&PQgetlength) getlength;
    decltype(&PQgetisnull) getisnull;
    decltype(&PQclear) clear;
};

// Throws StoreError, in the user's words, when libpq cannot be loaded.
const Libpq& libpq();

} // namespace tarvex
