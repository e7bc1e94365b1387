#pragma once

#include "inifile.h"

#include "common/serveraddress.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace tarvex {

// Folder, base file name and date option of one generated output.
struct OutputNaming {
    QString path;
    QString name;
    bool date = false;
    QString section = {}; // the section of options.ini they were read from, for messages about them

    friend bool operator==(const OutputNaming&, const OutputNaming&) = default;
};

// Rough rouble prices of one euro and one dollar (params/rateEUR, params/rateUSD): enough to tell how many
// digits the rouble amount of a foreign sum has.
struct RoughRates {
    int rubPerEur = 100;
    int rubPerUsd = 90;

    // Roubles per unit of the currency, letter case ignored (1 for the rouble itself); nothing for a currency
    // without a rate or with a rate below 1.
    std::optional<int> of(QStringView currency) const;
};

// Every key the settings window shows and saves.
struct OptionValues {
    QString header;
    int mainFont = 8;
    QString scriptPrefix;
    QString scriptsPath;    // folder of both scripts: written to script/path and flow/path
    OutputNaming smartKey;  // path not used: scriptsPath is written
    OutputNaming smartFlow; // path not used: scriptsPath is written
    OutputNaming workbook;
    QStringList tickedTasks;                                // names of the ticked task check boxes
    RoughRates rates;                                       // written to params after mainfont
    int expiryWarningDays = 14;                             // written to params after the rates
    RegisterEngine registerEngine = RegisterEngine::Sqlite; // section db, after every other section
    ServerAddress serverAddress;                            // section db; the password is never written
};

// The task check boxes of Create all, in the order their lines are written to section group.
const QStringList& createAllTaskBoxNames();

// The typed settings of options.ini in the program's folder, each read with its default when asked for. Every
// reader throws SettingsError when the file exists but cannot be read.
class Options {
public:
    // appDir is the folder of the executable with its trailing "/"; a relative one is taken from the working folder.
    explicit Options(const QString& appDir);

    QString iniPath() const { return m_ini.path(); }
    QString defaultOutputFolder() const; // appDir + "Files", without a trailing "/"
    // Throws SettingsError when the file exists but cannot be read; a missing file is fine.
    void checkReadable() const { m_ini.checkReadable(); }

    QString header() const;
    int mainFont() const;
    QString scriptPrefix() const;
    // The folder of each naming is absolute: a relative path in the file is taken from the app folder, and an
    // empty one is the app folder itself.
    OutputNaming smartKeyNaming() const;
    OutputNaming smartFlowNaming() const;
    OutputNaming workbookNaming() const;
    // The folder of an output's section as the user wrote it (the default folder when none is written): what the
    // settings window shows and saves back.
    QString configuredFolder(QStringView section) const;
    QStringList groupTasks() const; // values of section group in file order
    RoughRates roughRates() const;
    // How many days ahead the main window warns of a contract or condition that ends
    // (params/expirydays, default 14; a value below 0 counts as 0).
    int expiryWarningDays() const;
    // Where the register lives (db/driver): `sqlite`, the default, or `postgresql`, letter case ignored. Any
    // other value throws SettingsError naming the key and the value.
    RegisterEngine registerEngine() const;
    // Where the register's server is (db/host, port, name, user, sslmode); a key left out or empty is libpq's to
    // choose (port 0). A port that is no number from 1 to 65535, or an sslmode libpq does not know, throws
    // SettingsError naming the key and the value. The password is never among the settings.
    ServerAddress serverAddress() const;

    // Writes every key, one write at a time: params, script, flow, xls, then section group anew with one numbered
    // line per ticked task in the order of createAllTaskBoxNames(), then section db (an unset port as an empty value).
    // Stops at the first failed write and returns false; the keys written before it stay written.
    bool save(const OptionValues& values);
    // Every key save() writes, each read with its default, with the folders as the user wrote them and the tasks
    // of section group that name one of the task check boxes; values naming no check box are left out. A malformed
    // value of section db throws SettingsError, as registerEngine() and serverAddress() do.
    OptionValues values() const;
    QString errorString() const { return m_ini.errorString(); }

private:
    OutputNaming readNaming(QStringView section, const QString& defaultName) const;
    QString absoluteFolder(const QString& configured) const;
    OutputNaming asConfigured(const OutputNaming& naming) const;
    bool saveServerKeys(const OptionValues& values);

    QString m_appDir;
    IniFile m_ini;
};

} // namespace tarvex
