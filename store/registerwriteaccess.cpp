#include "registerwriteaccess.h"

#include "common/writeprotection.h"

#include "enginerefusal.h"
#include "schema.h"

#include <QFile>
#include <QFileInfo>

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// Whether the effective user may do `mode` on the path; errno tells why not.
bool effectiveAccess(const QString& path, int mode) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) == 0;
}

} // namespace

std::optional<QString> registerWriteRefusal(const QString& path) {
    if (isWriteProtected(path))
        return u"файл %1 защищён от записи"_s.arg(path);
    if (!effectiveAccess(path, W_OK)) {
        if (errno == EROFS)
            return u"диск с файлом %1 подключён только для чтения"_s.arg(path);
        return u"нет права записи в файл %1"_s.arg(path);
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!effectiveAccess(folder, W_OK | X_OK))
        return u"нет права записи в папку %1, где при каждом изменении создаётся журнал реестра"_s.arg(folder);
    return std::nullopt;
}

std::optional<QString> serverRegisterWriteRefusal(QSqlDatabase& connection, const QString& place) {
    QSqlQuery query(connection);
    const auto fail = [&] { throw refusalError(RegisterTask::Open, refusalOf(query.lastError(), connection), place); };
    if (!query.exec(u"SELECT current_setting('transaction_read_only') = 'on', current_user"_s) || !query.next())
        fail();
    if (query.value(0).toBool())
        return u"сервер PostgreSQL принимает только чтение"_s;
    const QString role = query.value(1).toString();
    QStringList refused;
    for (const TableDef* table : schema::allTables()) {
        // Unquoted, as the tables are created: the server folds the name as it folded it then.
        // Each privilege asked alone: a list of them asks whether the role holds any.
        if (!query.exec(u"SELECT has_table_privilege('%1', 'INSERT') AND has_table_privilege('%1', 'UPDATE') AND "
                        u"has_table_privilege('%1', 'DELETE')"_s.arg(table->name.toLower())) ||
            !query.next())
            fail();
        if (!query.value(0).toBool())
            refused << table->name;
    }
    if (refused.isEmpty())
        return std::nullopt;
    return u"роли «%1» на сервере PostgreSQL не дано право изменять таблицы реестра (%2)"_s.arg(role,
                                                                                                refused.join(u", "_s));
}

} // namespace tarvex
