#include "postgresserver.h"

#include <QCollator>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include <libpq-fe.h>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tarvex::testing {

namespace {

// Debian keeps the server's programs out of PATH, one folder per major version.
QString serverBinaries() {
    QStringList versions = QDir(u"/usr/lib/postgresql"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(), numeric);
    for (auto version = versions.crbegin(); version != versions.crend(); ++version) {
        const QString folder = u"/usr/lib/postgresql/%1/bin"_s.arg(*version);
        if (QFile::exists(folder + u"/initdb"_s) && QFile::exists(folder + u"/postgres"_s))
            return folder;
    }
    return {};
}

// The account the server runs as when the tests run as root.
struct Account {
    uid_t user = 0;
    gid_t group = 0;
};

Account serverAccount() {
    for (const char* name : {"postgres", "nobody"}) {
        if (const passwd* entry = ::getpwnam(name))
            return {entry->pw_uid, entry->pw_gid};
    }
    return {65534, 65534};
}

// Makes a child process end with the test process, by `signal` (PR_SET_PDEATHSIG), so that a test that
// crashes or that CTest kills leaves nothing running; and, when the tests run as root, give up root first, since
// the server's programs refuse to run as root.
void tieToTestProcess(QProcess& process, int signal, bool asServerAccount) {
    const bool switchUser = asServerAccount && ::geteuid() == 0;
    const Account account = switchUser ? serverAccount() : Account{};
    const pid_t testProcess = ::getpid();
    process.setChildProcessModifier([=] {
        if (switchUser && (::setgroups(0, nullptr) != 0 || ::setgid(account.group) != 0 || ::setuid(account.user) != 0))
            ::_exit(126);
        // Set after the change of user, which clears it; the test process may have ended already.
        if (::prctl(PR_SET_PDEATHSIG, signal) != 0 || ::getppid() != testProcess)
            ::_exit(125);
    });
}

constexpr auto kStartTimeout = std::chrono::seconds(60);

} // namespace

PostgresServer::PostgresServer()
    : m_folder(QDir::tempPath() + u"/tarvex-pg-XXXXXX"_s) {
    // The test's own password sources, whatever the developer keeps in theirs.
    qunsetenv("PGPASSWORD");
    qputenv("PGPASSFILE", QFile::encodeName(passwordFile()));
    m_binaries = serverBinaries();
    if (m_binaries.isEmpty()) {
        m_problem = u"PostgreSQL is not installed (no /usr/lib/postgresql/*/bin/initdb)"_s;
        return;
    }
    if (!m_folder.isValid()) {
        m_problem = u"cannot make a temporary folder: "_s + m_folder.errorString();
        return;
    }
    if (::geteuid() == 0) {
        const Account account = serverAccount();
        if (::chown(QFile::encodeName(m_folder.path()).constData(), account.user, account.group) != 0) {
            m_problem = u"cannot hand the temporary folder to the server's account"_s;
            return;
        }
    }
    if (initialise())
        start();
}

PostgresServer::~PostgresServer() {
    kill();
}

ServerAddress PostgresServer::address(const QString& database, const QString& user) const {
    ServerAddress address;
    address.host = socketFolder();
    address.port = kPort;
    address.name = database;
    address.user = user;
    return address;
}

bool PostgresServer::isRequired() {
    return qEnvironmentVariable("TARVEX_REQUIRE_POSTGRESQL") == u"1"_s;
}

bool PostgresServer::run(const QString& program, const QStringList& arguments, QString* output) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(m_folder.path());
    tieToTestProcess(process, SIGKILL, !program.endsWith(u"/psql"_s));
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PostgresServer::initialise() {
    QString output;
    const QString data = m_folder.filePath(u"data"_s);
    if (!run(m_binaries + u"/initdb"_s,
             {u"-D"_s, data, u"-U"_s, superuser(), u"-E"_s, u"UTF8"_s, u"--locale=C"_s, u"--no-sync"_s,
              u"--no-instructions"_s, u"--auth-local=trust"_s},
             &output)) {
        m_problem = u"initdb failed: "_s + output;
        return false;
    }
    // Every role but the superuser logs in with its password, so tests can try a wrong one.
    QFile hba(data + u"/pg_hba.conf"_s);
    if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        hba.write("local all tarvex trust\nlocal all all scram-sha-256\n") < 0 || !hba.flush()) {
        m_problem = u"cannot write pg_hba.conf: "_s + hba.errorString();
        return false;
    }
    return true;
}

bool PostgresServer::start() {
    if (isRunning())
        return true;
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.setStandardOutputFile(m_folder.filePath(u"log"_s), QIODevice::Append);
    m_server.setWorkingDirectory(m_folder.path());
    tieToTestProcess(m_server, SIGQUIT, true); // SIGQUIT is the server's immediate shutdown
    m_server.start(m_binaries + u"/postgres"_s,
                   {u"-D"_s, m_folder.filePath(u"data"_s), u"-k"_s, m_folder.path(), u"-p"_s, QString::number(kPort),
                    u"-c"_s, u"listen_addresses="_s, u"-c"_s, u"fsync=off"_s, u"-c"_s, u"full_page_writes=off"_s});
    if (!m_server.waitForStarted() || !waitUntilReady()) {
        kill();
        QFile log(m_folder.filePath(u"log"_s));
        m_problem = u"the server did not start: "_s + (log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray());
        return false;
    }
    m_problem.clear();
    return true;
}

bool PostgresServer::waitUntilReady() {
    const QByteArray host = QFile::encodeName(socketFolder());
    const QByteArray port = QByteArray::number(kPort);
    const char* const keywords[] = {"host", "port", "dbname", nullptr};
    const char* const values[] = {host.constData(), port.constData(), "postgres", nullptr};
    const QDeadlineTimer deadline(kStartTimeout);
    while (!deadline.hasExpired()) {
        if (PQpingParams(keywords, values, 0) == PQPING_OK)
            return true;
        if (m_server.waitForFinished(100)) // the server gave up
            return false;
    }
    return false;
}

void PostgresServer::kill() {
    if (!isRunning())
        return;
    ::kill(pid_t(m_server.processId()), SIGQUIT);
    if (!m_server.waitForFinished(30000)) {
        m_server.kill();
        m_server.waitForFinished();
    }
}

bool PostgresServer::execute(const QString& sql, const QString& database, QString* problem) const {
    QString output;
    const bool done = run(m_binaries + u"/psql"_s,
                          {u"-X"_s, u"-q"_s, u"-v"_s, u"ON_ERROR_STOP=1"_s, u"-h"_s, socketFolder(), u"-p"_s,
                           QString::number(kPort), u"-U"_s, superuser(), u"-d"_s, database, u"-c"_s, sql},
                          &output);
    if (!done) {
        if (problem)
            *problem = output;
        else
            qWarning("psql failed: %s", qPrintable(output));
    }
    return done;
}

} // namespace tarvex::testing
