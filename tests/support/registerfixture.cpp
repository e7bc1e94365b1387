#include "registerfixture.h"

#include <QDir>
#include <QFile>

namespace tarvex::testing {

TempAppFolder::TempAppFolder() {
    QDir(m_dir.path()).mkpath(QStringLiteral("Files"));
    RegisterStore::createDatabase(databasePath());
}

void TempAppFolder::writeOptions(const QByteArray& ini) const {
    writeFile(appDir() + QStringLiteral("options.ini"), ini);
}

qint64 addAirline(RegisterStore& data, const AirlineRecord& airline, const ConditionList& conditions) {
    const qint64 id = data.addAirline(airline);

    for (const ConditionRecord& condition : conditions)
        data.addCondition(id, condition);
    return id;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

AirlineRecord airline(const QString& code, const QString& name, const QString& accCode, bool script) {
    AirlineRecord record;
    record.airCode = code;
    record.airName = name;
    record.accCode = accCode;
    record.script = script;
    return record;
}

ConditionRecord percentCondition(const QString& wording, const char* percent) {
    ConditionRecord condition;
    condition.comCondition = wording;
    condition.comPct = Decimal4::parse(QString::fromLatin1(percent));
    return condition;
}

ConditionRecord sumCondition(const QString& wording, int sum, const QString& currency) {
    ConditionRecord condition;
    condition.comCondition = wording;
    condition.comSum = std::int16_t(sum);
    condition.comVal = currency;
    return condition;
}

} // namespace tarvex::testing
