#include "serverlogin.h"

#include "libpq.h"

#include <QByteArrayList>
#include <QDeadlineTimer>
#include <QRegularExpression>

#include <poll.h>

#include <cerrno>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

constexpr int kLoginSeconds = 10;

// The parameters of a libpq connection, kept alive for its C arrays.
class LoginParameters {
public:
    LoginParameters(const ServerAddress& address, const QString& password) {
        add("host", address.host);
        add("port", address.port > 0 ? QString::number(address.port) : QString());
        add("dbname", address.name);
        add("user", address.user);
        add("sslmode", address.sslMode);
        add("password", password);
        add("connect_timeout", QString::number(kLoginSeconds));
        add("fallback_application_name", u"tarvex"_s);
        m_keywords.push_back(nullptr);
        m_values.push_back(nullptr);
    }
    LoginParameters(const LoginParameters&) = delete;
    LoginParameters& operator=(const LoginParameters&) = delete;

    const char* const* keywords() const { return m_keywords.data(); }
    const char* const* values() const { return m_values.data(); }

private:
    // An empty value is left out, so libpq takes its environment or its default.
    void add(const char* keyword, const QString& value) {
        if (value.isEmpty())
            return;
        m_texts.append(value.toUtf8());
        m_keywords.push_back(keyword);
        m_values.push_back(m_texts.last().constData());
    }

    QByteArrayList m_texts; // QByteArrayList keeps each array's data where it is as the list grows
    std::vector<const char*> m_keywords;
    std::vector<const char*> m_values;
};

using Connection = std::unique_ptr<PGconn, decltype(Libpq::finish)>;

// Waits for the socket as libpq asks until the login ends; false when it takes too long.
bool completeLogin(PGconn* connection) {
    const QDeadlineTimer deadline{std::chrono::seconds(kLoginSeconds)};
    PostgresPollingStatusType status = PGRES_POLLING_WRITING;
    while (status != PGRES_POLLING_OK && status != PGRES_POLLING_FAILED) {
        pollfd socket{libpq().socket(connection), short(status == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int ready = ::poll(&socket, 1, int(std::max<qint64>(deadline.remainingTime(), 0)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        status = libpq().connectPoll(connection);
    }
    return true;
}

// libpq's account of the failure, told verbosely so that it carries the server's SQLSTATE after the severity
// ("FATAL:  28P01: password authentication failed for user …"); the code in `sqlState`, and the text without
// the code and without the line naming the server's source file.
QString loginFailureText(PGconn* connection, QString* sqlState) {
    QString text = QString::fromUtf8(libpq().errorMessage(connection)).trimmed();
    static const QRegularExpression code(u":  ([0-9A-Z]{5}): "_s);
    if (const QRegularExpressionMatch match = code.match(text); match.hasMatch()) {
        *sqlState = match.captured(1);
        text.replace(match.capturedStart(1), match.capturedLength(1) + 2, QString());
    }
    static const QRegularExpression sourceLine(u"\\n[^\\n]*:\\s+\\w+, \\S+\\.c:\\d+"_s);
    return text.remove(sourceLine).trimmed();
}

QString shownUser(PGconn* connection, const ServerAddress& address) {
    const char* user = libpq().user(connection);
    return user && *user ? QString::fromUtf8(user) : address.user;
}

QString shownDatabase(PGconn* connection, const ServerAddress& address) {
    const char* database = libpq().db(connection);
    return database && *database ? QString::fromUtf8(database) : address.name;
}

} // namespace

QString describeServer(const ServerAddress& address) {
    const QString host = address.host.isEmpty() ? u"локальный"_s : u"«%1»"_s.arg(address.host);
    const QString port = address.port > 0 ? QString::number(address.port) : u"5432"_s;
    return u"%1, порт %2"_s.arg(host, port);
}

ServerCheck diagnoseServerLogin(const ServerAddress& address, const QString& password) {
    if (const auto problem = address.problem())
        return {ServerOutcome::BadAddress, u"Настройки подключения неверны: %1."_s.arg(*problem)};
    const LoginParameters parameters(address, password);
    const Connection connection(libpq().connectStartParams(parameters.keywords(), parameters.values(), 0),
                                libpq().finish);
    if (!connection)
        return {ServerOutcome::Failed, u"Не удалось начать подключение к серверу PostgreSQL: недостаточно памяти."_s};
    libpq().setErrorVerbosity(connection.get(), PQERRORS_VERBOSE);
    const bool answered = libpq().status(connection.get()) != CONNECTION_BAD && completeLogin(connection.get());
    if (answered && libpq().status(connection.get()) == CONNECTION_OK)
        return {ServerOutcome::Connected, QString()};

    const QString server = describeServer(address);
    const QString user = shownUser(connection.get(), address);
    const QString database = shownDatabase(connection.get(), address);
    if (!answered && libpq().status(connection.get()) != CONNECTION_BAD)
        return {
            ServerOutcome::NoServer,
            u"Нет ответа от сервера PostgreSQL (%1) за %2 секунд: проверьте адрес и порт и что сервер запущен."_s.arg(
                server, QString::number(kLoginSeconds))};
    if (libpq().connectionNeedsPassword(connection.get()))
        return {ServerOutcome::PasswordNeeded,
                u"Сервер PostgreSQL (%1) требует пароль пользователя «%2», а он не задан. Введите пароль: программа "
                u"запомнит его до выхода, но не сохранит (его можно также записать в ~/.pgpass)."_s.arg(server, user)};

    QString sqlState;
    const QString said = loginFailureText(connection.get(), &sqlState);
    if (sqlState == u"28P01"_s)
        return {ServerOutcome::WrongPassword,
                u"Сервер PostgreSQL (%1) не принял пароль пользователя «%2»: пароль неверен или такого пользователя "
                u"нет. Введите пароль заново."_s.arg(server, user)};
    if (sqlState == u"3D000"_s)
        return {ServerOutcome::NoDatabase, u"На сервере PostgreSQL (%1) нет базы данных «%2»."_s.arg(server, database)};
    if (sqlState == u"28000"_s || sqlState == u"42501"_s)
        return {ServerOutcome::NoRights,
                u"Пользователю «%1» не разрешено подключаться к базе данных «%2» на сервере PostgreSQL (%3).\n%4"_s.arg(
                    user, database, server, said)};
    if (sqlState.isEmpty() && libpq().pingParams(parameters.keywords(), parameters.values(), 0) == PQPING_NO_RESPONSE)
        return {ServerOutcome::NoServer,
                u"Нет сервера PostgreSQL (%1): проверьте адрес и порт и что сервер запущен.\n%2"_s.arg(server, said)};
    return {ServerOutcome::Failed, u"Не удалось подключиться к серверу PostgreSQL (%1).\n%2"_s.arg(server, said)};
}

} // namespace tarvex
