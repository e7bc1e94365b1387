#include "registercreation.h"

#include "common/systemerror.h"
#include "registerstore.h"
#include "schema.h"
#include "storeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

QString existsMessage(const QString& path) {
    return u"Файл базы данных уже существует, он не будет перезаписан: %1"_s.arg(path);
}

// A file beside the register that is this creator's alone: hidden, and named so no other creator picks it.
class TemporaryRegister {
public:
    explicit TemporaryRegister(const QString& path)
        : m_path(QFileInfo(path).absolutePath() + u"/."_s + QFileInfo(path).fileName() + u"."_s +
                 QUuid::createUuid().toString(QUuid::Id128) + u".new"_s) {}
    ~TemporaryRegister() {
        if (m_owned) {
            QFile::remove(m_path);
            QFile::remove(m_path + u"-journal"_s); // left only by a write that failed half way
        }
    }
    TemporaryRegister(const TemporaryRegister&) = delete;
    TemporaryRegister& operator=(const TemporaryRegister&) = delete;

    const QString& path() const { return m_path; }
    // The file now has the register's name: it is no longer this creator's to remove.
    void release() { m_owned = false; }

private:
    QString m_path;
    bool m_owned = true;
};

void execute(QSqlQuery& query, const QString& statement) {
    if (!query.exec(statement))
        throw StoreError(query.lastError().text());
}

void createTables(const QString& path) {
    const QString connectionName = u"tarvex-create-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, connectionName);
        database.setDatabaseName(path);
        try {
            if (!database.open())
                throw StoreError(database.lastError().text());
            QSqlQuery query(database);
            // Qt opens the file through the UTF-16 interface, which would otherwise make
            // UTF-16 the file's text encoding; UTF-8 is what every other SQLite tool expects.
            execute(query, u"PRAGMA encoding = 'UTF-8'"_s);
            if (!database.transaction())
                throw StoreError(database.lastError().text());
            for (const QString& statement : schema::createStatements())
                execute(query, statement);
            if (!database.commit())
                throw StoreError(database.lastError().text());
        } catch (const StoreError&) {
            database.close();
            database = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            throw;
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

// Gives the complete file the register's name unless a file has that name by then. The file system
// decides in one step, so no other creator can come in between a check and the renaming.
bool placeWithoutReplacing(const QString& temporary, const QString& path) {
    const QByteArray from = QFile::encodeName(temporary);
    const QByteArray to = QFile::encodeName(path);
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData()); // the register keeps its own name whether or not the spare one goes
        return true;
    }
    int error = errno;
    // File systems without hard links (FAT, some network shares) can still refuse to rename over a file.
    if (error == EPERM || error == EOPNOTSUPP) {
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            return true;
        error = errno;
    }
    if (error == EEXIST)
        return false;
    throw StoreError(systemErrorText(error));
}

QString failureMessage(const QString& path, const QString& reason) {
    return u"Не удалось создать базу данных %1: %2"_s.arg(path, reason);
}

} // namespace

void createRegister(const QString& path, const RegisterFill& fill) {
    // Spares building a register that could not take its name; the placing below decides.
    if (QFileInfo::exists(path))
        throw StoreError(existsMessage(path));
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw StoreError(u"Не удалось создать каталог для базы данных: %1"_s.arg(folder));

    TemporaryRegister temporary(path);
    bool placed = false;
    try {
        createTables(temporary.path());
        if (fill) {
            RegisterStore data;
            data.openFile(temporary.path());
            fill(data);
        }
        placed = placeWithoutReplacing(temporary.path(), path);
    } catch (const TarvexError& error) {
        throw StoreError(failureMessage(path, error.message()));
    }
    if (!placed)
        throw StoreError(existsMessage(path));
    temporary.release();
}

} // namespace tarvex
