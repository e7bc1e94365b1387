#include "options.h"

#include <algorithm>

#include <QDir>

namespace tarvex {

using namespace Qt::StringLiterals;

namespace {

constexpr int kDefaultMainFont = 8;

} // namespace

std::optional<int> RoughRates::of(QStringView currency) const {
    int rate = 0;
    if (currency.compare(u"RUB", Qt::CaseInsensitive) == 0)
        rate = 1;
    else if (currency.compare(u"EUR", Qt::CaseInsensitive) == 0)
        rate = rubPerEur;
    else if (currency.compare(u"USD", Qt::CaseInsensitive) == 0)
        rate = rubPerUsd;
    return rate >= 1 ? std::optional<int>(rate) : std::nullopt;
}

const QStringList& createAllTaskBoxNames() {
    static const QStringList names{u"cbSFrmk"_s, u"cbSF"_s, u"cbSKrmk"_s, u"cbSK"_s,
                                   u"cbXLrmk"_s, u"cbXL"_s, u"cbCSV"_s};
    return names;
}

Options::Options(const QString& appDir)
    : m_appDir(QDir(appDir).absolutePath() + u'/')
    , m_ini(m_appDir + u"options.ini"_s) {}

QString Options::defaultOutputFolder() const {
    return m_appDir + u"Files"_s;
}

QString Options::header() const {
    return m_ini.readText(u"params", u"header", QString());
}

int Options::mainFont() const {
    return m_ini.readInteger(u"params", u"mainfont", kDefaultMainFont);
}

QString Options::scriptPrefix() const {
    return m_ini.readText(u"script", u"prefix", QString());
}

OutputNaming Options::smartKeyNaming() const {
    return readNaming(u"script", u"Tarvex-Rules"_s);
}

OutputNaming Options::smartFlowNaming() const {
    return readNaming(u"flow", u"Tarvex-SmartFlow"_s);
}

OutputNaming Options::workbookNaming() const {
    // One default for the workbook writer and the settings window alike.
    return readNaming(u"xls", u"Tarvex_comissions"_s);
}

QStringList Options::groupTasks() const {
    QStringList tasks;
    for (const IniEntry& entry : m_ini.readSectionLines(u"group"))
        tasks.append(entry.value);
    return tasks;
}

QString Options::absoluteFolder(const QString& configured) const {
    if (QDir::isAbsolutePath(configured))
        return configured; // as written, separators and all
    return QDir::cleanPath(m_appDir + configured);
}

RoughRates Options::roughRates() const {
    const RoughRates defaults;
    return {m_ini.readInteger(u"params", u"rateEUR", defaults.rubPerEur),
            m_ini.readInteger(u"params", u"rateUSD", defaults.rubPerUsd)};
}

QString Options::configuredFolder(QStringView section) const {
    return m_ini.readText(section, u"path", defaultOutputFolder());
}

OutputNaming Options::readNaming(QStringView section, const QString& defaultName) const {
    return {absoluteFolder(configuredFolder(section)), m_ini.readText(section, u"name", defaultName),
            m_ini.readFlag(section, u"date"), section.toString()};
}

int Options::expiryWarningDays() const {
    return std::max(0, m_ini.readInteger(u"params", u"expirydays", OptionValues().expiryWarningDays));
}

bool Options::save(const OptionValues& s) {
    const auto writeNaming = [this](QStringView section, const QString& path, const OutputNaming& naming) {
        return m_ini.writeText(section, u"path", path) && m_ini.writeText(section, u"name", naming.name) &&
               m_ini.writeInteger(section, u"date", naming.date ? 1 : 0);
    };
    const bool keysWritten =
        m_ini.writeText(u"params", u"header", s.header) && m_ini.writeInteger(u"params", u"mainfont", s.mainFont) &&
        m_ini.writeInteger(u"params", u"rateEUR", s.rates.rubPerEur) &&
        m_ini.writeInteger(u"params", u"rateUSD", s.rates.rubPerUsd) &&
        m_ini.writeInteger(u"params", u"expirydays", s.expiryWarningDays) &&
        m_ini.writeText(u"script", u"prefix", s.scriptPrefix) && writeNaming(u"script", s.scriptsPath, s.smartKey) &&
        writeNaming(u"flow", s.scriptsPath, s.smartFlow) && writeNaming(u"xls", s.workbook.path, s.workbook) &&
        m_ini.eraseSection(u"group");
    if (!keysWritten)
        return false;
    int counter = 1;
    for (const QString& task : createAllTaskBoxNames()) {
        if (s.tickedTasks.contains(task) && !m_ini.writeText(u"group", QString::number(counter++), task))
            return false;
    }
    return saveServerKeys(s);
}

} // namespace tarvex
