#pragma once

#include <QSqlDatabase>
#include <QString>

namespace tarvex::testing {

// A second connection to the register that holds its lock, as another program in the middle of a
// write does, until it lets go (or dies).
class RegisterLock {
public:
    enum class Kind {
        Read,      // a read under way: others may still read and write (SQLite's shared lock)
        Write,     // a write under way: others may still read, but not write (SQLite's reserved lock)
        Exclusive, // nobody else may read or write (SQLite's exclusive lock)
    };

    RegisterLock(const QString& databasePath, Kind kind);
    ~RegisterLock();
    RegisterLock(const RegisterLock&) = delete;
    RegisterLock& operator=(const RegisterLock&) = delete;

    bool isHeld() const { return m_held; }
    // Drops the pending write, if any, and lets go of the lock.
    void release();

private:
    const QString m_connectionName;
    QSqlDatabase m_database;
    bool m_held = false;
};

} // namespace tarvex::testing
