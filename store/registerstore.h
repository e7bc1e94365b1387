#pragma once

#include "airlinerecord.h"
#include "conditionquery.h"
#include "tablecursor.h"

#include "common/serveraddress.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <chrono>
#include <functional>

namespace tarvex {

// The register of the program: the connection to the register file, the three
// table cursors every window shares, and the query of one airline's conditions.
class RegisterStore : public QObject {
    Q_OBJECT
public:
    explicit RegisterStore(QObject* parent = nullptr);
    ~RegisterStore() override;

    // The register file of an app folder (given with its trailing separator).
    static QString databasePath(const QString& appDir);

    // How long a statement waits while another program holds the register's lock.
    static constexpr std::chrono::milliseconds kDefaultBusyTimeout{10000};
    // Takes effect at once on an open register, and at every later open().
    void setBusyTimeout(std::chrono::milliseconds timeout);

    // Opens the register and reads the three tables; tbMain is sorted by code.
    // Throws StoreError, naming the file, when it is missing or not a regular file, is
    // not a database, lacks a table or column, stays locked by another program beyond
    // the busy timeout, or holds an interrupted write that cannot be rolled back for
    // lack of write permission. The file is never created here.
    // A register this program may not change (registerWriteRefusal()) is opened for
    // reading only, so that nothing can write it by mistake.
    //
    // The windows browse and edit the register through the three table cursors, which
    // open() reads whole. A command that only writes outputs streams what it needs from
    // the file (AirlineStream) and asks for ForOutputs: the cursors then stay closed.
    enum class Use { ForWindows, ForOutputs };
    void open(const QString& appDir, Use use = Use::ForWindows);
    // The same for the register file at `path`, such as a new register not yet in its place.
    void openFile(const QString& path, Use use = Use::ForWindows);
    // The register on a PostgreSQL server. The password, when empty, is libpq's to find
    // (PGPASSWORD, ~/.pgpass). Throws ServerConnectionError when the server cannot be reached,
    // and StoreError, naming the database, when it lacks a table or column of the register or
    // has an unknown format. For the windows, a role that may not change the register's tables
    // opens it for reading only. A connection lost later is made again at the next statement.
    void openServer(const ServerAddress& address, const QString& password = {}, Use use = Use::ForOutputs);
    bool isOpen() const { return m_open; }

    // Which engine holds the register once open.
    RegisterEngine engine() const { return m_engine; }
    // How messages name the register: its file, or its database on the server.
    const QString& place() const { return m_place; }

    // Refuses a register file that is damaged: it would read wrong without an error. A
    // server guards its own storage, so a register there is taken as it is.
    void requireIntact() const;

    // Whether the register, once open, may not be changed, and why, in the user's words.
    bool isReadOnly() const { return !m_readOnlyReason.isEmpty(); }
    const QString& readOnlyReason() const { return m_readOnlyReason; }

    // Waits, at most the busy timeout, until no other program is writing the register,
    // and lets go at once without writing anything: a window asks before it takes changes
    // that could not be stored. Throws StoreError when the register stays busy.
    void waitUntilFreeForWriting();

    // Stores a new airline through tbMain and returns its id; it stays tbMain's current row.
    qint64 addAirline(const AirlineRecord& airline);
    // Stores a new condition of the airline through tbComm; it stays tbComm's current row.
    void addCondition(qint64 airlineId, const ConditionRecord& condition);

    // Shows every airline again in code order: the search filter is switched off.
    void resetAirlineView();

    // Deletes the current airline together with its conditions and fee rows, found by
    // the airline's own id, in one transaction.
    void deleteCurrentAirline();

    // The connection to the register file, for statements of the store's own.
    QSqlDatabase connection() const { return m_connection; }
    // The format the register file is read in: kRegisterFormat, or an older one for a file
    // the program may not write (its later columns read as empty).
    int format() const { return m_format; }
    // The cursors over tbMain, tbComm and tbFee that every window shares.
    TableCursor& airlines() { return m_airlines; }
    TableCursor& conditions() { return m_conditions; }
    TableCursor& fees() { return m_fees; }
    // Reads one airline's conditions, for the editors.
    ConditionQuery& conditionQuery() { return m_conditionQuery; }

    // While it lives, a statement that finds the register locked by another program fails
    // at once instead of waiting: for reads that only mark what the user types, which must
    // never hold up the typing.
    class NoBusyWait {
    public:
        explicit NoBusyWait(RegisterStore& store);
        ~NoBusyWait();
        NoBusyWait(const NoBusyWait&) = delete;
        NoBusyWait& operator=(const NoBusyWait&) = delete;

    private:
        RegisterStore& m_store;
    };

private:
    int readFormat(const QString& path);
    // Makes the condition query and, for the windows, the three cursors read the connection.
    void openCursors(Use use);
    void checkSchema(const QString& place, const std::function<QStringList(const QString& table)>& columnsOf);
    void closeConnection();
    void applyBusyTimeout(std::chrono::milliseconds timeout);
    const QString m_connectionName;
    std::chrono::milliseconds m_busyTimeout = kDefaultBusyTimeout;
    QString m_readOnlyReason;
    QSqlDatabase m_connection;
    bool m_open = false;
    RegisterEngine m_engine = RegisterEngine::Sqlite;
    QString m_place;
    int m_format = kRegisterFormat;
    TableCursor m_airlines;
    TableCursor m_conditions;
    TableCursor m_fees;
    ConditionQuery m_conditionQuery;
};

} // namespace tarvex
