#include "sqlitehandle.h"

#include "enginerefusal.h"
#include "storedutf8.h"
#include "storeerror.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// The handle the Qt driver hands out, whichever library made it.
sqlite3* driverHandle(const QSqlDatabase& database) {
    const QVariant handle = database.driver() ? database.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

// Connections opened by the linked library while the check below listens.
std::mutex openedMutex;
std::vector<sqlite3*> openedConnections;

int noteOpenedConnection(sqlite3* connection, const char**, const sqlite3_api_routines*) {
    const std::lock_guard lock(openedMutex);
    openedConnections.push_back(connection);
    return SQLITE_OK;
}

// The hook's type as sqlite3_auto_extension() takes it.
using EntryPoint = void (*)();

// Equal version numbers would not prove that Qt's driver and this program share one
// SQLite library: a driver built with its own copy of SQLite keeps its own locks,
// memory and state, and its handles must not reach this copy's functions. What proves
// it is that a connection the driver opens runs this copy's opening code: a hook
// registered with the linked library (an automatic extension, which that library runs
// for every connection it opens) sees the driver's handle. Nothing is passed to the
// linked library before this has been seen.
std::optional<QString> foreignDriverProblem() {
    const auto hook = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(&noteOpenedConnection));
    if (sqlite3_auto_extension(hook) != SQLITE_OK)
        return u"не удалось проверить библиотеку SQLite драйвера QSQLITE"_s;
    const QString probeName = u"tarvex-library-check-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::optional<QString> problem;
    {
        QSqlDatabase probe = QSqlDatabase::addDatabase(u"QSQLITE"_s, probeName);
        probe.setDatabaseName(u":memory:"_s);
        if (!probe.open()) {
            problem = u"драйвер QSQLITE не открывает базу данных: "_s + probe.lastError().text();
        } else {
            sqlite3* handle = driverHandle(probe);
            const std::lock_guard lock(openedMutex);
            if (!handle ||
                std::find(openedConnections.begin(), openedConnections.end(), handle) == openedConnections.end()) {
                QSqlQuery version(u"SELECT sqlite_version()"_s, probe);
                problem = u"драйвер QSQLITE библиотеки Qt работает с другой копией библиотеки SQLite "
                          u"(версия %1), чем программа (версия %2); программу нужно собрать с той же "
                          u"библиотекой SQLite, что и Qt"_s.arg(version.next() ? version.value(0).toString() : u"?"_s,
                                                                QString::fromLatin1(sqlite3_libversion()));
            }
        }
        probe.close();
    }
    QSqlDatabase::removeDatabase(probeName);
    sqlite3_cancel_auto_extension(hook);
    const std::lock_guard lock(openedMutex);
    openedConnections.clear();
    return problem;
}

} // namespace

sqlite3* sqliteHandle(const QSqlDatabase& database) {
    static const std::optional<QString> libraryProblem = foreignDriverProblem();
    if (libraryProblem)
        throw StoreError(u"Нельзя читать базу данных: "_s + *libraryProblem);
    sqlite3* handle = driverHandle(database);
    if (!handle || !database.isOpen())
        throw StoreError(u"База данных не открыта"_s);
    return handle;
}

QVariant storedValue(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant::fromValue<qint64>(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, column);
    case SQLITE_TEXT:
        return compactStoredText(statement, column);
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(statement, column));
    }
    default:
        return {};
    }
}

QString storedText(sqlite3_stmt* statement, int column) {
    QString text;
    assignStoredText(text, statement, column);
    return text;
}

QString compactStoredText(sqlite3_stmt* statement, int column) {
    // fromUtf8() reserves a character per byte; the cursors hold every text of the
    // register, which in Cyrillic would take twice the memory it needs.
    QString text = storedText(statement, column);
    text.squeeze();
    return text;
}

void assignStoredText(QString& text, sqlite3_stmt* statement, int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    if (!bytes)
        text = QString();
    else
        assignStoredUtf8(text, QByteArrayView(bytes, sqlite3_column_bytes(statement, column)));
}

SqliteStatement::SqliteStatement(sqlite3* handle, const QByteArray& sql, const QString& subject) {
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &m_statement, nullptr) != SQLITE_OK) {
        const EngineRefusal refusal = refusalOf(handle);
        sqlite3_finalize(m_statement);
        throw refusalError(RegisterTask::Read, refusal, subject);
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

} // namespace tarvex
