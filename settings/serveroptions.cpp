#include "options.h"
#include "settingserror.h"

#include "iniquery.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

constexpr QStringView kSection = u"db";
const QString kSqlite = u"sqlite"_s;
const QString kPostgres = u"postgresql"_s;

[[noreturn]] void refuse(const QString& iniPath, QStringView key, const QString& value, const QString& expected) {
    throw SettingsError(u"В файле настроек %1 в разделе [db] ключ %2 = «%3»: %4."_s.arg(
        QFileInfo(iniPath).absoluteFilePath(), key.toString(), value, expected));
}

} // namespace

RegisterEngine Options::registerEngine() const {
    const QString driver = m_ini.readText(kSection, u"driver", QString()).trimmed();
    if (driver.isEmpty() || driver.compare(kSqlite, Qt::CaseInsensitive) == 0)
        return RegisterEngine::Sqlite;
    if (driver.compare(kPostgres, Qt::CaseInsensitive) == 0)
        return RegisterEngine::Postgres;
    refuse(iniPath(), u"driver", driver, u"ожидается sqlite (файл реестра в папке программы) или postgresql"_s);
}

ServerAddress Options::serverAddress() const {
    ServerAddress address;
    address.host = m_ini.readText(kSection, u"host", QString()).trimmed();
    address.name = m_ini.readText(kSection, u"name", QString()).trimmed();
    address.user = m_ini.readText(kSection, u"user", QString()).trimmed();
    const QString port = m_ini.readText(kSection, u"port", QString()).trimmed();
    if (!port.isEmpty()) {
        address.port = parseIniInteger(port).value_or(0);
        if (address.port < 1 || address.port > 65535)
            refuse(iniPath(), u"port", port, u"ожидается номер порта от 1 до 65535"_s);
    }
    address.sslMode = m_ini.readText(kSection, u"sslmode", QString()).trimmed();
    if (!address.sslMode.isEmpty() && !ServerAddress::sslModes().contains(address.sslMode))
        refuse(iniPath(), u"sslmode", address.sslMode,
               u"ожидается один из режимов: "_s + ServerAddress::sslModes().join(u", "_s));
    return address;
}

bool Options::saveServerKeys(const OptionValues& values) {
    const ServerAddress& address = values.serverAddress;
    const QString driver = values.registerEngine == RegisterEngine::Postgres ? kPostgres : kSqlite;
    const QString port = address.port > 0 ? QString::number(address.port) : QString();
    return m_ini.writeText(kSection, u"driver", driver) && m_ini.writeText(kSection, u"host", address.host) &&
           m_ini.writeText(kSection, u"port", port) && m_ini.writeText(kSection, u"name", address.name) &&
           m_ini.writeText(kSection, u"user", address.user) && m_ini.writeText(kSection, u"sslmode", address.sslMode);
}

} // namespace tarvex
