// Outputs written from the register on a PostgreSQL server that other copies change, or that goes away,
// while they are written.

#include "generation/generationrun.h"
#include "generation/runobserver.h"
#include "settings/options.h"
#include "store/registercopy.h"
#include "store/registerstore.h"
#include "store/serverregistercreation.h"
#include "support/postgresserver.h"
#include "support/recordingobserver.h"
#include "support/registerfixture.h"
#include "support/syntheticregister.h"
#include "support/testregister.h"

#include <QSqlQuery>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace tarvex;
using namespace tarvex::testing;

namespace {

// Calls `when` once, as soon as the walk reports a share of at least `share` percent.
class ProgressTrigger : public RunObserver {
public:
    ProgressTrigger(int share, std::function<void()> when)
        : m_share(share)
        , m_when(std::move(when)) {}
    bool showsProgress() const override { return true; }
    void progressChanged(int percent) override {
        if (percent >= m_share && m_when) {
            std::exchange(m_when, nullptr)();
        }
    }
    bool fired() const { return !m_when; }

private:
    int m_share;
    std::function<void()> m_when;
};

} // namespace

class TestServerRun : public QObject {
    Q_OBJECT

private slots:
    void init() { TARVEX_REQUIRE_POSTGRESQL(m_server); }

    // The server stops in the middle of the walk, as a crash or a pulled cable would: the
    // run fails with a message, and the file of the previous run stays as it was. (The
    // airline list is left out: the driver hands the airlines over in one piece before the
    // list is written, so there is no middle to stop in.)
    void serverLostMidRunReplacesNoFile_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("smart key") << int(OutputKind::SmartKey) << u"Tarvex-Rules.txt"_s;
        QTest::newRow("smart flow") << int(OutputKind::SmartFlow) << u"Tarvex-SmartFlow.txt"_s;
        QTest::newRow("workbook") << int(OutputKind::Workbook) << u"Tarvex_comissions.xlsx"_s;
    }
    void serverLostMidRunReplacesNoFile() {
        QFETCH(int, kind);
        QFETCH(QString, fileName);
        TempAppFolder folder;
        insertRegister(folder.databasePath(), syntheticRegister(4000));
        const QString database = u"lost%1"_s.arg(++m_databases);
        QVERIFY(m_server.execute(u"CREATE DATABASE "_s + database));
        {
            RegisterStore file;
            file.open(folder.appDir(), RegisterStore::Use::ForOutputs);
            createServerRegister(m_server.address(database),
                                 [&](QSqlDatabase& server) { copyRowsToServer(file, server); });
        }
        RegisterStore store;
        store.openServer(m_server.address(database));
        const QString previous = folder.filesDir() + u'/' + fileName;
        writeFile(previous, "previous run");

        ProgressTrigger killMidway(30, [&] { m_server.kill(); });
        const Options options(folder.appDir());
        GenerationRun run(store, options, killMidway);
        const RunResult result = run.run({OutputKind(kind)});
        QVERIFY(killMidway.fired());
        QCOMPARE(result.status, RunResult::Status::Failed);
        QVERIFY2(result.message.contains(u"PostgreSQL"_s), qPrintable(result.message));
        QCOMPARE(readFile(previous), QByteArray("previous run"));
        QVERIFY(m_server.start());
    }

    // The window has the register open on the server while another copy deletes one airline and
    // renames another with its conditions replaced: the output shows the register as it is now.
    void outputIsWrittenFromOneStateOfTheRegister() {
        TestRegister server(RegisterEngine::Postgres, m_server);
        QVERIFY2(server.problem().isEmpty(), qPrintable(server.problem()));
        RegisterStore window;
        server.open(window);
        const qint64 su =
            addAirline(window, airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s),
                       {percentCondition(u"старое условие SU"_s, "5"), percentCondition(u"бизнес SU"_s, "7")});
        const qint64 ut = addAirline(window, airline(u"UT"_s, u"ЮТэйр"_s, u"298"_s),
                                     {percentCondition(u"все рейсы UT"_s, "3"), percentCondition(u"бизнес UT"_s, "4")});
        QVERIFY(server.execute(
            u"BEGIN; DELETE FROM tbComm WHERE ComId = %1; DELETE FROM tbMain WHERE id = %1; "
            u"UPDATE tbMain SET AirName = 'Аэрофлот ПАО' WHERE id = %2; UPDATE tbComm SET "
            u"ComCondition = 'новое условие SU' WHERE ComCondition = 'старое условие SU'; COMMIT"_s.arg(ut)
                .arg(su)));
        const Options options(server.appDir());
        RecordingObserver observer;
        GenerationRun run(window, options, observer);
        const RunResult result = run.run({OutputKind::SmartKey});
        QCOMPARE(result.status, RunResult::Status::Written);
        const QString script = QString::fromUtf8(readFile(result.filePath));
        QVERIFY2(script.contains(u"Аэрофлот ПАО"_s) && script.contains(u"новое условие SU"_s), qPrintable(script));
        QVERIFY2(!script.contains(u"старое условие SU"_s), qPrintable(script));
        QVERIFY2(!script.contains(u"UT"_s) && !script.contains(u"ЮТэйр"_s), qPrintable(script));
        QCOMPARE(window.airlines().recordCount(), 2); // the window shows what it read until it is refreshed
    }

private:
    PostgresServer m_server;
    int m_databases = 0;
};

QTEST_GUILESS_MAIN(TestServerRun)
#include "tst_serverrun.moc"
