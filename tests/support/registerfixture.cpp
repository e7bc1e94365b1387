#include "registerfixture.h"

#include <QDir>
#include <QFile>

namespace tarvex::testing {

TempAppFolder::TempAppFolder() {
    QDir(m_dir.path()).mkpath(QStringLiteral("Files"));
    TDataModule1::createDatabase(databasePath());
}

void TempAppFolder::writeOptions(const QByteArray& ini) const {
    QFile file(appDir() + QStringLiteral("options.ini"));
    if (!file.open(QIODevice::WriteOnly) || file.write(ini) != ini.size())
        qFatal("cannot write options.ini");
}

qint64 addAirline(TDataModule1& data, const AirlineRecord& airline, const ConditionList& conditions) {
    TableCursor& airlines = data.tbMain;
    airlines.insert();
    airlines.setValue(u"AirCode", airline.airCode);
    airlines.setValue(u"AirName", airline.airName);
    airlines.setValue(u"AccCode", airline.accCode);
    airlines.setValue(u"Comment", airline.comment);
    airlines.setValue(u"BSP", airline.bsp);
    airlines.setValue(u"Script", airline.script);
    airlines.post();
    const qint64 id = airlines.value(u"id").toLongLong();

    TableCursor& rules = data.tbComm;
    for (const ConditionRecord& condition : conditions) {
        rules.insert();
        rules.setValue(u"ComId", id);
        rules.setValue(u"ComCondition", condition.comCondition);
        if (condition.comPct)
            rules.setValue(u"ComPCT", QVariant::fromValue(*condition.comPct));
        if (condition.comSum)
            rules.setValue(u"ComSum", *condition.comSum);
        rules.setValue(u"ComVal", condition.comVal);
        rules.setValue(u"Remarks", condition.remarks);
        if (condition.valLen)
            rules.setValue(u"ValLen", *condition.valLen);
        rules.setValue(u"Fee", condition.fee);
        rules.post();
    }
    return id;
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
