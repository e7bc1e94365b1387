#include "requirechild.h"
#include "scriptedprompts.h"
#include "typing.h"

#include "store/airlineselection.h"
#include "store/storeerror.h"
#include "support/registerfixture.h"
#include "support/testregister.h"
#include "ui/airlineeditor.h"
#include "ui/desktopprogram.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <atomic>
#include <csignal>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;
using namespace tarvex;
using namespace tarvex::testing;

// The program's windows on a register an office keeps on a PostgreSQL server: logging in, a
// role that may only read, and a connection that drops while the user works.
class ServerWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        TARVEX_REQUIRE_POSTGRESQL(m_server);
        m_register = std::make_unique<TestRegister>(RegisterEngine::Postgres, m_server);
        QVERIFY2(m_register->problem().isEmpty(), qPrintable(m_register->problem()));
        RegisterStore store;
        m_register->open(store);
        m_airlineId = addAirline(store, airline(u"SU"_s, u"Аэрофлот"_s), {percentCondition(u"Все тарифы"_s, "5")});
    }
    void cleanup() {
        m_register.reset();
        if (!m_server.isRunning())
            m_server.start();
    }

    void windowOpensTheServersRegister();
    void passwordIsAskedWhenTheServerWantsOne_data();
    void passwordIsAskedWhenTheServerWantsOne();
    void roleThatMayOnlyReadOpensTheRegisterForReading();
    void droppedConnectionKeepsWhatWasTypedAndTheNextSaveReconnects();
    void serverKilledMidDeletionLeavesTheAirlineWhole();

private:
    AppFolder folder() const { return {m_register->appDir(), AppFolderKind::Given}; }
    // A new role of the server that logs in with `password` and may do what `grant` gives on the
    // register's tables; its name begins with `kind`.
    QString makeRole(const QString& kind, const QString& password, const QString& grant) {
        static int roles = 0;
        const QString role = u"%1%2"_s.arg(kind).arg(++roles);
        const bool made =
            m_server.execute(u"CREATE ROLE %1 LOGIN PASSWORD '%2'"_s.arg(role, password)) &&
            m_server.execute(u"GRANT %1 ON tbMain, tbComm, tbFee TO %2"_s.arg(grant, role), m_register->address().name);
        return made ? role : QString();
    }
    // The airline's rows as the server holds them: its name, and how many conditions and fees it has.
    QString storedAirline() const {
        RegisterStore store;
        m_register->open(store, RegisterStore::Use::ForOutputs);
        QSqlQuery query(store.connection());
        query.exec(u"SELECT AirName, (SELECT COUNT(*) FROM tbComm WHERE ComId = m.id), "
                   u"(SELECT COUNT(*) FROM tbFee WHERE FeeId = m.id) FROM tbMain m WHERE id = %1"_s.arg(m_airlineId));
        if (!query.next())
            return u"<none>"_s;
        return u"%1, %2 conditions, %3 fees"_s.arg(query.value(0).toString(), query.value(1).toString(),
                                                   query.value(2).toString());
    }

    PostgresServer m_server;
    std::unique_ptr<TestRegister> m_register;
    qint64 m_airlineId = 0;
};

void ServerWindowTest::windowOpensTheServersRegister() {
    ScriptedPrompts prompts;
    RecordingOpener opener;
    DesktopProgram program(folder(), prompts, opener);
    QVERIFY2(prompts.shown().isEmpty(), qPrintable(prompts.shown().value(0).text));
    QVERIFY(program.store().isOpen());
    QCOMPARE(program.store().engine(), RegisterEngine::Postgres);
    QVERIFY(!program.store().isReadOnly());
    QCOMPARE(program.mainWindow().findChild<QLabel*>(u"statusAirlineCount"_s)->text(), u"Авиакомпаний: 1"_s);
    QCOMPARE(program.store().airlines().text(u"AirName"), u"Аэрофлот"_s);
}

void ServerWindowTest::passwordIsAskedWhenTheServerWantsOne_data() {
    QTest::addColumn<QList<std::optional<QString>>>("given");
    QTest::addColumn<bool>("opened");
    QTest::newRow("right") << QList<std::optional<QString>>{u"тайна"_s} << true;
    QTest::newRow("wrong, then right") << QList<std::optional<QString>>{u"нет"_s, u"тайна"_s} << true;
    QTest::newRow("cancelled") << QList<std::optional<QString>>{std::nullopt} << false;
}

void ServerWindowTest::passwordIsAskedWhenTheServerWantsOne() {
    QFETCH(QList<std::optional<QString>>, given);
    QFETCH(bool, opened);
    const QString manager = makeRole(u"manager"_s, u"тайна"_s, u"SELECT, INSERT, UPDATE, DELETE"_s);
    QVERIFY(!manager.isEmpty());
    m_register->logInAs(manager);
    ScriptedPrompts prompts;
    for (const std::optional<QString>& password : given)
        prompts.givePassword(password);
    RecordingOpener opener;
    DesktopProgram program(folder(), prompts, opener);
    QCOMPARE(program.store().isOpen(), opened);
    QCOMPARE(prompts.shown().size(), given.size() + (opened ? 0 : 1));
    for (int i = 0; i < given.size(); ++i) {
        QCOMPARE(prompts.shown()[i].kind, u"password"_s);
        QVERIFY2(prompts.shown()[i].text.contains(u"«%1»"_s.arg(manager)), qPrintable(prompts.shown()[i].text));
    }
    if (given.size() > 1) // the second time, the server's refusal of the first password is said
        QVERIFY2(prompts.shown()[1].text.contains(u"пароль"_s), qPrintable(prompts.shown()[1].text));
    if (!opened) { // the window stays, empty, and says why
        QCOMPARE(prompts.shown().last().kind, u"error"_s);
        QVERIFY(program.mainWindow().isVisible());
        return;
    }
    QVERIFY(!program.store().isReadOnly());
    QCOMPARE(program.store().airlines().recordCount(), 1);
    // The password lives in the session only: nothing of it reached the settings.
    QFile options(m_register->appDir() + u"options.ini"_s);
    QVERIFY(options.open(QIODevice::ReadOnly));
    QVERIFY(!QString::fromUtf8(options.readAll()).contains(u"тайна"_s));
}

// The agents generate, one manager edits: an agent's window shows the register and takes no change.
void ServerWindowTest::roleThatMayOnlyReadOpensTheRegisterForReading() {
    const QString agent = makeRole(u"agent"_s, u"agent-pass"_s, u"SELECT"_s);
    QVERIFY(!agent.isEmpty());
    m_register->logInAs(agent);
    // libpq finds the password in the password file, as in ~/.pgpass.
    QFile passwords(m_server.passwordFile());
    QVERIFY(passwords.open(QIODevice::WriteOnly));
    QVERIFY(passwords.write("*:*:*:" + agent.toUtf8() + ":agent-pass\n") > 0);
    passwords.close();
    QVERIFY(passwords.setPermissions(QFile::ReadOwner | QFile::WriteOwner));

    ScriptedPrompts prompts;
    RecordingOpener opener;
    DesktopProgram program(folder(), prompts, opener);
    QVERIFY2(prompts.shown().isEmpty(), qPrintable(prompts.shown().value(0).text));
    QVERIFY(program.store().isOpen());
    QVERIFY(program.store().isReadOnly());
    QVERIFY2(program.store().readOnlyReason().contains(u"«%1»"_s.arg(agent)),
             qPrintable(program.store().readOnlyReason()));
    QVERIFY2(program.mainWindow().windowTitle().endsWith(u"(только чтение)"_s),
             qPrintable(program.mainWindow().windowTitle()));
    for (const char* command : {"acAddAirComp", "acEditRules", "acDelAirComp"}) {
        QAction* action = program.mainWindow().findChild<QAction*>(QLatin1StringView(command));
        QVERIFY2(action, command);
        QVERIFY2(!action->isEnabled(), command);
    }
}

void ServerWindowTest::droppedConnectionKeepsWhatWasTypedAndTheNextSaveReconnects() {
    ScriptedPrompts prompts;
    RecordingOpener opener;
    DesktopProgram program(folder(), prompts, opener);
    RegisterStore& store = program.store();
    QVERIFY(selectAirline(store.airlines(), m_airlineId));
    store.airlines().edit();
    AirlineEditor& editor = program.airlineEditor();
    editor.setConditionControlsEnabled(true);
    editor.show();
    QLineEdit* name = requireChild<QLineEdit>(&editor, u"eAirName"_s);
    name->clear();
    typeText(name, u"Aeroflot"_s);

    m_server.kill(); // the server stops, or the network fails
    QPushButton* save = requireChild<QPushButton>(&editor, u"btnSave"_s);
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(prompts.shown().size(), 1);
    QCOMPARE(prompts.shown().first().kind, u"error"_s);
    QVERIFY2(prompts.shown().first().text.startsWith(u"Связь с сервером PostgreSQL прервалась"_s),
             qPrintable(prompts.shown().first().text));
    QVERIFY(editor.isVisible());
    QCOMPARE(name->text(), u"Aeroflot"_s);

    QVERIFY2(m_server.start(), qPrintable(m_server.problem())); // the server is back
    QCOMPARE(storedAirline(), u"Аэрофлот, 1 conditions, 0 fees"_s);
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY2(prompts.shown().size() == 1, qPrintable(prompts.shown().last().text));
    QVERIFY(!editor.isVisible());
    QCOMPARE(storedAirline(), u"Aeroflot, 1 conditions, 0 fees"_s);
    QCOMPARE(store.airlines().text(u"AirName"), u"Aeroflot"_s);
}

// A deletion is one transaction: the server dies after the conditions and fees went and before
// the airline did, and the airline is found whole afterwards.
void ServerWindowTest::serverKilledMidDeletionLeavesTheAirlineWhole() {
    QVERIFY(m_register->execute(u"INSERT INTO tbFee (FeeId, FeeCondition) VALUES (%1, 'сбор')"_s.arg(m_airlineId)));
    RegisterStore store;
    m_register->open(store);
    store.setBusyTimeout(std::chrono::minutes(1));
    QVERIFY(selectAirline(store.airlines(), m_airlineId));

    // Another copy holds the airline's row, so the deletion stops at its last statement.
    RegisterStore holder;
    m_register->open(holder, RegisterStore::Use::ForOutputs);
    QSqlQuery hold(holder.connection());
    QVERIFY(hold.exec(u"BEGIN"_s));
    QVERIFY(hold.exec(u"SELECT id FROM tbMain WHERE id = %1 FOR UPDATE"_s.arg(m_airlineId)));

    const qint64 serverProcess = m_server.processId();
    std::atomic<bool> killed = false;
    std::thread killer([&] {
        const QString waiting = u"DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_stat_activity WHERE wait_event_type = "
                                u"'Lock') THEN RAISE 'not yet'; END IF; END $$"_s;
        QString notYet;
        for (int attempt = 0; attempt < 400 && !killed; ++attempt) {
            if (m_server.execute(waiting, u"postgres"_s, &notYet)) {
                ::kill(pid_t(serverProcess), SIGQUIT);
                killed = true;
            } else {
                QThread::msleep(50);
            }
        }
    });
    std::optional<QString> failure;
    try {
        store.deleteCurrentAirline();
    } catch (const StoreError& error) {
        failure = error.message();
    }
    killer.join();
    QVERIFY(killed);
    QVERIFY2(failure && failure->startsWith(u"Связь с сервером PostgreSQL прервалась; ничего не удалено."_s),
             qPrintable(failure.value_or(u"deleted"_s)));
    QCOMPARE(store.airlines().recordCount(), 1); // the window still shows it

    m_server.kill();
    QVERIFY2(m_server.start(), qPrintable(m_server.problem()));
    QCOMPARE(storedAirline(), u"Аэрофлот, 1 conditions, 1 fees"_s);
    store.deleteCurrentAirline(); // the next command logs in again
    QCOMPARE(storedAirline(), u"<none>"_s);
    QCOMPARE(store.airlines().recordCount(), 0);
}

QTEST_MAIN(ServerWindowTest)
#include "tst_serverwindow.moc"
