#include "registerintegrity.h"

#include "storeerror.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>

#include <sys/stat.h>

#include <optional>

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

// A file whose times are this close to the check may still be written within the same tick
// of a coarse file system clock (2 s on FAT) without its times changing: it is not remembered.
constexpr qint64 kTimeTickMs = 2000;

// What tells the file's bytes apart without reading them, as one line: the file itself
// (device and inode), its size, its last change of contents and of anything at all (the
// kernel sets the latter on every write, and no program can set it back), and SQLite's
// change counter, which every transaction that writes the file moves. Nothing when the
// register is in WAL mode or has a journal beside it (the file alone does not hold its
// contents then) or cannot be read.
std::optional<QByteArray> fileState(const QString& path, qint64* newestTimeMs = nullptr) {
    const QByteArray name = QFile::encodeName(path);
    struct stat before {};
    struct stat after {};
    QFile file(path);
    if (::stat(name.constData(), &before) != 0 || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray header = file.read(100);
    if (::stat(name.constData(), &after) != 0 || header.size() != 100 || header[18] != 1 || header[19] != 1 ||
        QFileInfo::exists(path + u"-journal"_s) || QFileInfo::exists(path + u"-wal"_s))
        return std::nullopt;
    const auto line = [&header](const struct stat& st) {
        return QByteArray("tarvex-checked 1 ") + QByteArray::number(quint64(st.st_dev)) + ' ' +
               QByteArray::number(quint64(st.st_ino)) + ' ' + QByteArray::number(qint64(st.st_size)) + ' ' +
               QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' + QByteArray::number(qint64(st.st_mtim.tv_nsec)) +
               ' ' + QByteArray::number(qint64(st.st_ctim.tv_sec)) + '.' +
               QByteArray::number(qint64(st.st_ctim.tv_nsec)) + ' ' + header.mid(24, 4).toHex() + '\n';
    };
    if (line(before) != line(after)) // changed while it was read
        return std::nullopt;
    if (newestTimeMs)
        *newestTimeMs = std::max(qint64(after.st_mtim.tv_sec), qint64(after.st_ctim.tv_sec)) * 1000 +
                        std::max(after.st_mtim.tv_nsec, after.st_ctim.tv_nsec) / 1000000 + 1;
    return line(after);
}

// Where the state of a register file found intact is kept: the user's cache, one small
// file per register path.
QString rememberedCheckPath(const QString& path) {
    const QByteArray key =
        QCryptographicHash::hash(QFile::encodeName(QFileInfo(path).absoluteFilePath()), QCryptographicHash::Sha256)
            .toHex();
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + u"/tarvex/checked-registers/"_s +
           QString::fromLatin1(key);
}

bool checkedUnchanged(const QString& path, const QByteArray& state) {
    QFile remembered(rememberedCheckPath(path));
    return remembered.open(QIODevice::ReadOnly) && remembered.read(state.size() + 1) == state;
}

// Remembers the state of a file found intact. Only a help: a file that cannot be written
// just means the next command checks the register again.
void rememberChecked(const QString& path, const QByteArray& state) {
    const QString memo = rememberedCheckPath(path);
    if (!QDir().mkpath(QFileInfo(memo).path()))
        return;
    QSaveFile file(memo);
    if (file.open(QIODevice::WriteOnly) && file.write(state) == state.size())
        file.commit();
}

// SQLite's own check of the whole file.
void checkWholeFile(const QSqlDatabase& connection) {
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

} // namespace

void requireIntactRegister(const QSqlDatabase& connection) {
    // A file found intact and not changed since in any way is not read whole again.
    const QString path = mainFilePath(connection);
    qint64 newestTimeMs = 0;
    const std::optional<QByteArray> state = fileState(path, &newestTimeMs);
    if (state && checkedUnchanged(path, *state))
        return;
    const qint64 checkStartMs = QDateTime::currentMSecsSinceEpoch();
    checkWholeFile(connection);
    if (state && newestTimeMs + kTimeTickMs < checkStartMs && fileState(path) == state)
        rememberChecked(path, *state);
}

} // namespace tarvex
