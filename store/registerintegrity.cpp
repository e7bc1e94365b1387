#include "registerintegrity.h"

#include "storeerror.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

// SQLite's check stops after this many findings: enough to see what is wrong, and a badly
// damaged file is not read to its end.
constexpr int kFindingsShown = 3;

QString mainFilePath(const QSqlDatabase& connection) {
    QSqlQuery query(connection);
    if (query.exec(u"PRAGMA database_list"_s)) {
        while (query.next()) {
            if (query.value(1).toString() == u"main")
                return query.value(2).toString();
        }
    }
    return connection.databaseName();
}

} // namespace

void requireIntactRegister(const QSqlDatabase& connection) {
    QSqlQuery query(connection);
    // SQLite reports damage as rows of the check's result; an error means the check could not run.
    if (!query.exec(u"PRAGMA integrity_check(%1)"_s.arg(kFindingsShown)))
        throw StoreError(
            u"Не удалось проверить базу данных %1: %2"_s.arg(mainFilePath(connection), query.lastError().text()));
    QStringList findings;
    while (query.next())
        findings << query.value(0).toString();
    if (findings == QStringList{u"ok"_s})
        return;

    const QFileInfo file(mainFilePath(connection));
    throw StoreError(
        u"База данных %1 повреждена: проверка SQLite нашла ошибки (%2). Файлы не записаны, прежние остались без "
        u"изменений. Верните последнюю резервную копию базы данных или восстановите её программой sqlite3: закройте "
        u"Tarvex и в каталоге %3 выполните\n"
        u"sqlite3 %4 .recover | sqlite3 %5-recovered.%6\n"
        u"(если sqlite3 не знает команды .recover, напишите вместо неё .dump), затем уберите повреждённый файл в "
        u"другое место и поставьте восстановленный на место %4."_s.arg(file.absoluteFilePath(), findings.join(u"; "_s),
                                                                       file.absolutePath(), file.fileName(),
                                                                       file.completeBaseName(), file.suffix()));
}

} // namespace tarvex
