// tarvex-cli: the register's outputs from the command line, for scripts, scheduled
// jobs and tests. It writes exactly what the desktop program's commands write.

#include "checkcommand.h"
#include "common/hugepageheap.h"
#include "common/tarvexerror.h"
#include "demoregister.h"
#include "findingprinter.h"
#include "generation/generationrun.h"
#include "generation/runobserver.h"
#include "registeropening.h"
#include "settings/appfolder.h"
#include "settings/options.h"
#include "settings/settingserror.h"
#include "store/expiry.h"
#include "store/registercopy.h"
#include "store/registercreation.h"
#include "store/registerstore.h"
#include "store/serverregistercreation.h"
#include "store/storeerror.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTextStream>

#include <optional>

using namespace Qt::StringLiterals;
using namespace tarvex;

namespace {

const char* const kUsage = R"(Usage:
  tarvex-cli [--app-dir DIR] init-db [--demo]          create DB/Tarvex.mdb (never overwrites); --demo adds a sample register
  tarvex-cli [--app-dir DIR] generate smartkey [--remarks] [--on DD.MM.YYYY]
  tarvex-cli [--app-dir DIR] generate smartflow [--remarks] [--on DD.MM.YYYY]
  tarvex-cli [--app-dir DIR] generate excel [--no-fees] [--on DD.MM.YYYY]
  tarvex-cli [--app-dir DIR] generate csv
  tarvex-cli [--app-dir DIR] generate all [--on DD.MM.YYYY]   the tasks of section [group] of options.ini, in file order
  tarvex-cli [--app-dir DIR] check [--on DD.MM.YYYY]   list what the scripts would not carry as typed; exit 1 on errors
  tarvex-cli [--app-dir DIR] report expiring [--days N]   contracts and conditions that end within N days or have ended
  tarvex-cli [--app-dir DIR] copy-register --to-server   copy DB/Tarvex.mdb to the server's empty tables, ids kept
  tarvex-cli [--app-dir DIR] copy-register --from-server FILE   write the server's register into a new file FILE

DIR stands for the app folder, which holds options.ini, DB/Tarvex.mdb and Files/; a relative
folder in options.ini is taken from DIR. With driver=postgresql in section [db] of options.ini
the commands use the register on that PostgreSQL server (host, port, name, user, sslmode of
[db]); the password comes from PGPASSWORD or ~/.pgpass. init-db then creates the register's
tables on the server (never where they exist), and copy-register copies between DB/Tarvex.mdb
and the server; neither copy overwrites anything. Without --app-dir it is the folder of tarvex-cli when
that holds DB/ or options.ini (a copied program folder), otherwise $XDG_DATA_HOME/tarvex
(~/.local/share/tarvex), where an installed program keeps its data.
Each written file's full path is printed on a line of its own, the findings of a written
script on standard error, each once. A script with errors is not written. check prints
one finding a line, errors first: kind, output (smartkey, smartflow, both or csv), code,
id, condition id, field, text, effect, separated by tabs. Errors go to standard error and
end with a non-zero exit status.

--on writes the outputs as of that day instead of today: the scripts carry only the
conditions in force on it, and the day stands in the file names and headings.
report expiring prints one line each, tab-separated: code, airline id, condition id (empty
for a contract), what ends (contract or condition), its last day (YYYY-MM-DD). N defaults
to expirydays of section [params] of options.ini (14).
)";

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

int usageError(const QString& message) {
    err() << message << u"\n\n"_s << kUsage;
    return kExitUsage;
}

struct Command {
    QString appDir;
    AppFolderKind appDirKind = AppFolderKind::Given;
    QStringList words;              // the command and its arguments, options removed
    QStringList flags;              // options other than --app-dir, those with a value included
    QHash<QString, QString> values; // the value of each option that takes one
};

// The options that take a value, given as "--on 01.03.2027" or "--on=01.03.2027".
const QStringList kValueOptions{u"--app-dir"_s, u"--on"_s, u"--days"_s};

std::optional<Command> parse(const QStringList& arguments, QString* problem) {
    Command command;
    const AppFolder located = locateAppFolder();
    command.appDir = located.path;
    command.appDirKind = located.kind;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString name = argument.section(u'=', 0, 0);
        if (kValueOptions.contains(name)) {
            if (argument.contains(u'=')) {
                command.values[name] = argument.section(u'=', 1);
            } else if (++i < arguments.size()) {
                command.values[name] = arguments[i];
            } else {
                *problem = u"%1 needs a value"_s.arg(name);
                return std::nullopt;
            }
            if (name == u"--app-dir"_s)
                command.appDirKind = AppFolderKind::Given;
            else
                command.flags << name;
        } else if (argument.startsWith(u"--"_s)) {
            command.flags << argument;
        } else {
            command.words << argument;
        }
    }
    command.appDir = appFolder(command.values.value(u"--app-dir"_s, command.appDir));
    return command;
}

QString folderInUse(const Command& command) {
    QString origin;
    switch (command.appDirKind) {
    case AppFolderKind::Portable:
        origin = u"the folder of tarvex-cli, which holds DB/ or options.ini"_s;
        break;
    case AppFolderKind::UserData:
        origin = u"the user's data folder"_s;
        break;
    case AppFolderKind::Given:
        origin = u"named by --app-dir"_s;
        break;
    }
    return u"App folder in use: %1 (%2)\n"_s.arg(command.appDir, origin);
}

// The day of --on, or a null date when it is not given.
std::optional<QDate> onDay(const Command& command, QString* problem) {
    if (!command.values.contains(u"--on"_s))
        return QDate();
    const QString text = command.values.value(u"--on"_s);
    const QDate day = QDate::fromString(text, u"dd.MM.yyyy"_s);
    if (!day.isValid()) {
        *problem = u"--on needs a day written DD.MM.YYYY, not \"%1\""_s.arg(text);
        return std::nullopt;
    }
    return day;
}

bool onlyFlags(const Command& command, const QStringList& allowed, QString* problem) {
    for (const QString& flag : command.flags) {
        if (!allowed.contains(flag)) {
            *problem = u"unknown option %1 for this command"_s.arg(flag);
            return false;
        }
    }
    return true;
}

// The demo register made in a file of its own and copied to the server as its tables are created.
QString initServerDemo(const ServerAddress& address) {
    const QTemporaryDir folder;
    if (!folder.isValid())
        throw StoreError(u"Не удалось создать временный каталог для демонстрационного реестра: "_s +
                         folder.errorString());
    const QString path = folder.filePath(u"demo.mdb"_s);
    createRegister(path, addDemoRegister);
    RegisterStore demo;
    demo.openFile(path, RegisterStore::Use::ForOutputs);
    return createServerRegister(address, [&](QSqlDatabase& server) { copyRowsToServer(demo, server); });
}

int initDatabase(const Command& command) {
    const Options options(command.appDir);
    const bool demo = command.flags.contains(u"--demo"_s);
    if (options.registerEngine() == RegisterEngine::Postgres) {
        const ServerAddress address = options.serverAddress();
        out() << (demo ? initServerDemo(address) : createServerRegister(address)) << Qt::endl;
        createOutputFolder(command.appDir);
        return 0;
    }
    const QString path = RegisterStore::databasePath(command.appDir);
    createRegister(path, demo ? RegisterFill(addDemoRegister) : RegisterFill());
    createOutputFolder(command.appDir);
    out() << path << Qt::endl;
    return 0;
}

// "copy-register": the app folder's register file to the server, or the server's register into a new file.
int copyRegister(const Command& command) {
    const bool toServer = command.flags == QStringList{u"--to-server"_s} && command.words.size() == 1;
    const bool fromServer = command.flags == QStringList{u"--from-server"_s} && command.words.size() == 2;
    if (!toServer && !fromServer)
        return usageError(u"copy-register needs --to-server, or --from-server and a file"_s);
    const Options options(command.appDir);
    options.checkReadable();
    if (options.registerEngine() != RegisterEngine::Postgres)
        throw SettingsError(
            u"Реестр не скопирован: в разделе [db] файла %1 не выбран сервер (driver=postgresql)."_s.arg(
                options.iniPath()));
    RegisterStore server;
    server.openServer(options.serverAddress());
    if (toServer) {
        RegisterStore file;
        file.open(command.appDir, RegisterStore::Use::ForOutputs);
        file.requireIntact();
        copyRegisterToServer(file, server);
        out() << server.place() << Qt::endl;
    } else {
        const QString path = QFileInfo(command.words[1]).absoluteFilePath();
        copyRegisterFromServer(server, path);
        out() << path << Qt::endl;
    }
    return 0;
}

std::optional<GenerationRequest> requestFor(const Command& command, QString* problem) {
    const QString what = command.words.value(1);
    GenerationRequest request;
    QStringList allowed;
    if (what == u"smartkey"_s || what == u"smartflow"_s) {
        request.kind = what == u"smartkey"_s ? OutputKind::SmartKey : OutputKind::SmartFlow;
        request.withRemarks = command.flags.contains(u"--remarks"_s);
        allowed << u"--remarks"_s << u"--on"_s;
    } else if (what == u"excel"_s) {
        request.kind = OutputKind::Workbook;
        request.includeFees = !command.flags.contains(u"--no-fees"_s);
        allowed << u"--no-fees"_s << u"--on"_s;
    } else if (what == u"csv"_s) {
        request.kind = OutputKind::AirlineList;
    } else {
        *problem = what.isEmpty() ? u"generate needs an output"_s : u"unknown output \"%1\""_s.arg(what);
        return std::nullopt;
    }
    if (command.words.size() > 2) {
        *problem = u"unexpected argument \"%1\""_s.arg(command.words[2]);
        return std::nullopt;
    }
    if (!onlyFlags(command, allowed, problem))
        return std::nullopt;
    const std::optional<QDate> day = onDay(command, problem);
    if (!day)
        return std::nullopt;
    request.onDay = *day;
    return request;
}

// Prints a result and the findings it leaves to print; true when the file was written.
bool report(const RunResult& result, FindingPrinter& findings) {
    switch (result.status) {
    case RunResult::Status::Written:
        out() << result.filePath << Qt::endl;
        findings.print(err());
        for (const QString& warning : result.warnings)
            err() << warning << Qt::endl;
        return true;
    case RunResult::Status::ScriptErrors:
        err() << result.message << Qt::endl;
        findings.print(err());
        return false;
    case RunResult::Status::Refused:
        findings.drop();
        err() << u"Ошибка сохранения: "_s << result.message << Qt::endl;
        return false;
    case RunResult::Status::Failed:
        findings.drop();
        err() << result.message << Qt::endl;
        return false;
    }
    Q_UNREACHABLE();
}

int generate(const Command& command) {
    QString problem;
    const bool all = command.words.value(1) == u"all"_s;
    std::optional<GenerationRequest> request;
    std::optional<QDate> day = QDate();
    if (all) {
        if (command.words.size() > 2 || !onlyFlags(command, {u"--on"_s}, &problem) || !(day = onDay(command, &problem)))
            return usageError(problem.isEmpty() ? u"generate all takes no arguments"_s : problem);
    } else if (!(request = requestFor(command, &problem))) {
        return usageError(problem);
    }

    // Settings that exist but cannot be read are an error, not the defaults: the outputs would go elsewhere.
    const Options options(command.appDir);
    options.checkReadable();
    RegisterStore store;
    openRegisterForOutputs(store, command.appDir, options);
    RunObserver quiet;
    GenerationRun run(store, options, quiet);
    // Each finding is printed once in the run, after the result of the first output it concerns.
    FindingPrinter findings(all);
    run.passFindingsTo(&findings);
    bool allWritten = true;
    const auto reportEach = [&](const RunResult& result) { allWritten = report(result, findings) && allWritten; };
    if (all)
        run.createAll(*day, reportEach);
    else
        reportEach(run.run(*request));
    return allWritten ? 0 : kExitFailure;
}

// "report expiring": what ends soon or has ended, one line each.
int reportExpiring(const Command& command) {
    QString problem;
    if (command.words.value(1) != u"expiring"_s || command.words.size() > 2 ||
        !onlyFlags(command, {u"--days"_s}, &problem))
        return usageError(problem.isEmpty() ? u"report needs the word expiring and nothing more"_s : problem);
    const Options options(command.appDir);
    int days = 0;
    if (command.values.contains(u"--days"_s)) {
        bool whole = false;
        days = command.values.value(u"--days"_s).toInt(&whole);
        if (!whole || days < 0)
            return usageError(u"--days needs a whole number of days, 0 or more"_s);
    } else {
        options.checkReadable();
        days = options.expiryWarningDays();
    }
    RegisterStore store;
    openRegisterForOutputs(store, command.appDir, options);
    for (const EndingItem& item : endingSoon(store, QDate::currentDate(), days)) {
        out() << QStringList{item.airCode, QString::number(item.airlineId),
                             item.conditionId ? QString::number(*item.conditionId) : QString(),
                             endingWhatToken(item.what), item.lastDay.toString(Qt::ISODate)}
                     .join(u'\t')
              << u'\n';
    }
    out().flush();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    growHeapInHugePages();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"tarvex-cli"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVEX_VERSION));

    const QStringList arguments = QCoreApplication::arguments();
    QString problem;
    const std::optional<Command> command = parse(arguments, &problem);
    if (arguments.contains(u"--help"_s) || arguments.contains(u"-h"_s)) {
        out() << kUsage;
        if (command)
            out() << u"\n"_s << folderInUse(*command);
        return 0;
    }
    if (!command)
        return usageError(problem);

    try {
        const QString verb = command->words.value(0);
        if (verb == u"init-db"_s) {
            if (command->words.size() > 1 || !onlyFlags(*command, {u"--demo"_s}, &problem))
                return usageError(problem.isEmpty() ? u"init-db takes no arguments"_s : problem);
            return initDatabase(*command);
        }
        if (verb == u"copy-register"_s)
            return copyRegister(*command);
        if (verb == u"generate"_s)
            return generate(*command);
        if (verb == u"check"_s) {
            std::optional<QDate> day;
            if (command->words.size() > 1 || !onlyFlags(*command, {u"--on"_s}, &problem) ||
                !(day = onDay(*command, &problem)))
                return usageError(problem.isEmpty() ? u"check takes no arguments"_s : problem);
            return checkCommand(command->appDir, day->isNull() ? QDate::currentDate() : *day, out());
        }
        if (verb == u"report"_s)
            return reportExpiring(*command);
        return usageError(verb.isEmpty() ? u"no command given"_s : u"unknown command \"%1\""_s.arg(verb));
    } catch (const TarvexError& error) {
        err() << error.message() << Qt::endl;
        return kExitFailure;
    }
}
