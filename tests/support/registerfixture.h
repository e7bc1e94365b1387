#pragma once

#include "records.h"
#include "store/registerstore.h"

#include <QTemporaryDir>

#include <memory>

namespace tarvex::testing {

// An app folder in a temporary directory: DB/Tarvex.mdb holding an empty register,
// an empty Files folder, and no options.ini; and the store a test opens on it.
class TempAppFolder {
public:
    TempAppFolder();
    ~TempAppFolder();

    bool isValid() const { return m_dir.isValid(); }
    QString appDir() const { return m_dir.path() + u'/'; }
    QString databasePath() const { return RegisterStore::databasePath(appDir()); }
    QString filesDir() const { return m_dir.path() + QStringLiteral("/Files"); }
    void writeOptions(const QByteArray& ini) const;

    // Opens the register in a new store, which takes the place of the one opened before:
    // rows written behind the cursors' back show then, as at the next start of the program.
    RegisterStore& openStore();
    // The store openStore() opened.
    RegisterStore& store() const { return *m_store; }
    // Lets go of the store, so that only others have the register open.
    void closeStore() { m_store.reset(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<RegisterStore> m_store; // closed before the folder is removed
};

// Stores an airline and its conditions through the table cursors; returns its id.
qint64 addAirline(RegisterStore& store, const AirlineRecord& airline, const ConditionList& conditions = {});

// Stores a whole register with plain SQL in one transaction, as the sqlite3 shell
// would (fast enough for thousands of airlines); a store sees it at its next opening.
void insertRegister(const QString& databasePath, const Register& airlines);

// Damages the register the way a failing disk or a copy cut short can: the index of the
// conditions' owners (tbComm.ComId) is made as if each condition belonged to the airline
// `indexedOwner` gives (an SQL expression over the row), while the table keeps the true
// owners. SQLite then reads the conditions of one airline wrong without an error, and
// PRAGMA integrity_check reports rows missing from the index.
void misindexConditionOwners(const QString& databasePath, const QString& indexedOwner);

// The whole content of a file; "<missing>" when it cannot be read.
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

} // namespace tarvex::testing
