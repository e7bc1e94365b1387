#include "libpq.h"

#include "storeerror.h"

#include <dlfcn.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

template <typename Function>
void resolve(void* library, const char* name, Function& function, QString& missing) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function)
        missing = QString::fromLatin1(name);
}

// The library's functions, or why they are not there.
struct LoadedLibpq {
    Libpq functions{};
    QString problem;

    LoadedLibpq() {
        void* library = dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            problem = QString::fromLocal8Bit(dlerror());
            return;
        }
        QString missing;
        resolve(library, "PQconnectStartParams", functions.connectStartParams, missing);
        resolve(library, "PQconnectPoll", functions.connectPoll, missing);
        resolve(library, "PQconnectionNeedsPassword", functions.connectionNeedsPassword, missing);
        resolve(library, "PQconsumeInput", functions.consumeInput, missing);
        resolve(library, "PQdb", functions.db, missing);
        resolve(library, "PQerrorMessage", functions.errorMessage, missing);
        resolve(library, "PQfinish", functions.finish, missing);
        resolve(library, "PQpingParams", functions.pingParams, missing);
        resolve(library, "PQsetErrorVerbosity", functions.setErrorVerbosity, missing);
        resolve(library, "PQsocket", functions.socket, missing);
        resolve(library, "PQstatus", functions.status, missing);
        resolve(library, "PQuser", functions.user, missing);
        resolve(library, "PQexec", functions.exec, missing);
        resolve(library, "PQsendQuery", functions.sendQuery, missing);
        resolve(library, "PQgetResult", functions.getResult, missing);
        resolve(library, "PQresultStatus", functions.resultStatus, missing);
        resolve(library, "PQresultErrorField", functions.resultErrorField, missing);
        resolve(library, "PQresultErrorMessage", functions.resultErrorMessage, missing);
        resolve(library, "PQntuples", functions.ntuples, missing);
        resolve(library, "PQgetvalue", functions.getvalue, missing);
        resolve(library, "PQgetlength", functions.getlength, missing);
        resolve(library, "PQgetisnull", functions.getisnull, missing);
        resolve(library, "PQclear", functions.clear, missing);
        if (!missing.isEmpty())
            problem = u"в libpq.so.5 нет функции %1"_s.arg(missing);
    }
};

} // namespace

const Libpq& libpq() {
    static const LoadedLibpq loaded;
    if (!loaded.problem.isEmpty())
        throw StoreError(u"Не удалось загрузить библиотеку PostgreSQL (libpq, пакет libpq5): %1"_s.arg(loaded.problem));
    return loaded.functions;
}

} // namespace tarvex
