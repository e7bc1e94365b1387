// The same register of 10,000 airlines and 30,000 conditions in a register file and on a
// PostgreSQL server: opening the store for the outputs, the generation walk and each output,
// with the engine as the argument (0 the file, 1 the server) so that one run with random
// interleaving measures both alike. And how many statements opening the store and one output
// send to the server, for 1,000 and for 10,000 airlines: the count must not grow with them.
//
// The server is a throwaway cluster of the program's own, started once before the first
// measurement; the program stops, saying why, when it cannot start.

#include "benchregister.h"
#include "generation/airlinewalk.h"
#include "generation/generationrun.h"
#include "generation/runobserver.h"
#include "settings/options.h"
#include "store/registercopy.h"
#include "store/registerstore.h"
#include "store/serverregistercreation.h"
#include "store/storeerror.h"
#include "support/postgresserver.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace Qt::StringLiterals;
using namespace tarvex;
using tarvex::testing::PostgresServer;

namespace {

constexpr int kAirlines = 10000;
constexpr int kFewAirlines = 1000;
constexpr int kSqlite = 0;
constexpr int kPostgres = 1;

QString appDir(int airlines) {
    return bench::benchAppDir(airlines, airlines * 3);
}

// The one server of the program, started in main() before any measurement.
PostgresServer* theServer = nullptr;

// Whether a database's sessions write every statement they run to the server's log: only the
// databases the statements are counted on do, so that logging costs the timed ones nothing.
enum class StatementLog { Off, On };

// The database on the server holding the rows of the register file of `airlines` airlines,
// made once per size and log.
QString serverDatabase(int airlines, StatementLog log) {
    static std::map<std::pair<int, StatementLog>, QString> databases;
    QString& database = databases[{airlines, log}];
    if (!database.isEmpty())
        return database;
    const QString name = (log == StatementLog::On ? u"counted%1"_s : u"timed%1"_s).arg(airlines);
    QString problem;
    if (!theServer->execute(u"CREATE DATABASE "_s + name, u"postgres"_s, &problem))
        throw StoreError(u"cannot create database %1: %2"_s.arg(name, problem));
    RegisterStore file;
    file.open(appDir(airlines), RegisterStore::Use::ForOutputs);
    createServerRegister(theServer->address(name), [&](QSqlDatabase& server) { copyRowsToServer(file, server); });
    // The planner's statistics, as the server's autovacuum would soon gather them on its own.
    if (!theServer->execute(u"VACUUM ANALYZE"_s, name, &problem))
        throw StoreError(u"cannot analyse database %1: %2"_s.arg(name, problem));
    if (log == StatementLog::On &&
        !theServer->execute(u"ALTER DATABASE %1 SET log_statement = 'all'"_s.arg(name), u"postgres"_s, &problem))
        throw StoreError(u"cannot log the statements of database %1: %2"_s.arg(name, problem));
    database = name;
    return database;
}

void openStore(RegisterStore& store, int engine, int airlines, StatementLog log = StatementLog::Off) {
    if (engine == kPostgres)
        store.openServer(theServer->address(serverDatabase(airlines, log)));
    else
        store.open(appDir(airlines), RegisterStore::Use::ForOutputs);
}

// Runs `measure`, turning a failure of the register into the benchmark's error.
template <typename Measure>
void guarded(benchmark::State& state, Measure measure) {
    try {
        measure();
    } catch (const TarvexError& error) {
        state.SkipWithError(qPrintable(error.message()));
    }
}

void BM_Open(benchmark::State& state) {
    guarded(state, [&] {
        for (auto _ : state) {
            RegisterStore store;
            openStore(store, int(state.range(0)), kAirlines);
            benchmark::DoNotOptimize(store.isOpen());
        }
    });
}
BENCHMARK(BM_Open)->ArgName("engine")->Arg(kSqlite)->Arg(kPostgres)->Unit(benchmark::kMillisecond);

struct CountingSink : AirlineSink {
    std::size_t conditions = 0;
    void addAirline(const AirlineRecord&, const ConditionList& list) override { conditions += list.size(); }
};

void BM_Walk(benchmark::State& state) {
    guarded(state, [&] {
        RegisterStore store;
        openStore(store, int(state.range(0)), kAirlines);
        RunObserver quiet;
        for (auto _ : state) {
            CountingSink sink;
            walkAirlines(store, sink, quiet);
            if (sink.conditions != std::size_t(kAirlines) * 3)
                state.SkipWithError("conditions lost in the walk");
        }
    });
}
BENCHMARK(BM_Walk)->ArgName("engine")->Arg(kSqlite)->Arg(kPostgres)->Unit(benchmark::kMillisecond);

GenerationRequest requestOf(OutputKind kind) {
    GenerationRequest request;
    request.kind = kind;
    request.withRemarks = true;
    return request;
}

// One command on an open store: the damage check of a register file, the walk, the writer and the file.
void BM_Output(benchmark::State& state, OutputKind kind) {
    guarded(state, [&] {
        RegisterStore store;
        openStore(store, int(state.range(0)), kAirlines);
        const Options options(appDir(kAirlines));
        RunObserver quiet;
        for (auto _ : state) {
            GenerationRun run(store, options, quiet);
            if (run.run(requestOf(kind)).status != RunResult::Status::Written)
                state.SkipWithError("the file was not written");
        }
    });
}
BENCHMARK_CAPTURE(BM_Output, SmartKey, OutputKind::SmartKey)
    ->ArgName("engine")
    ->Arg(kSqlite)
    ->Arg(kPostgres)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Output, SmartFlow, OutputKind::SmartFlow)
    ->ArgName("engine")
    ->Arg(kSqlite)
    ->Arg(kPostgres)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Output, Workbook, OutputKind::Workbook)
    ->ArgName("engine")
    ->Arg(kSqlite)
    ->Arg(kPostgres)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Output, AirlineList, OutputKind::AirlineList)
    ->ArgName("engine")
    ->Arg(kSqlite)
    ->Arg(kPostgres)
    ->Unit(benchmark::kMillisecond);

// The statements the server has logged so far. The server writes its log next to its socket;
// each statement a session of a counted database runs starts one line "LOG:  statement: ..."
// (a simple query) or "LOG:  execute ...: ..." (a prepared one); its other lines do not.
class StatementCounter {
public:
    StatementCounter()
        : m_log(theServer->socketFolder() + u"/log"_s) {
        if (!m_log.open(QIODevice::ReadOnly))
            throw StoreError(u"cannot read the server's log %1: %2"_s.arg(m_log.fileName(), m_log.errorString()));
        m_log.seek(m_log.size());
    }
    // The statements logged since the last call.
    int take() {
        int statements = 0;
        while (!m_log.atEnd()) {
            const QByteArray line = m_log.readLine();
            if (line.contains(" LOG:  statement: ") || line.contains(" LOG:  execute "))
                ++statements;
        }
        return statements;
    }

private:
    QFile m_log;
};

// What one command sends to the server: opening the store, then one output; for 1,000 and 10,000
// airlines. The counters are the figures; the time is of no interest.
void BM_ServerStatements(benchmark::State& state, OutputKind kind) {
    guarded(state, [&] {
        const int airlines = int(state.range(0));
        serverDatabase(airlines, StatementLog::On); // made before counting
        const Options options(appDir(airlines));
        RunObserver quiet;
        StatementCounter counter;
        for (auto _ : state) {
            counter.take();
            RegisterStore store;
            openStore(store, kPostgres, airlines, StatementLog::On);
            state.counters["open"] = counter.take();
            GenerationRun run(store, options, quiet);
            if (run.run(requestOf(kind)).status != RunResult::Status::Written)
                state.SkipWithError("the file was not written");
            state.counters["generate"] = counter.take();
        }
    });
}
BENCHMARK_CAPTURE(BM_ServerStatements, SmartKey, OutputKind::SmartKey)
    ->ArgName("airlines")
    ->Arg(kFewAirlines)
    ->Arg(kAirlines)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ServerStatements, SmartFlow, OutputKind::SmartFlow)
    ->ArgName("airlines")
    ->Arg(kFewAirlines)
    ->Arg(kAirlines)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ServerStatements, Workbook, OutputKind::Workbook)
    ->ArgName("airlines")
    ->Arg(kFewAirlines)
    ->Arg(kAirlines)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ServerStatements, AirlineList, OutputKind::AirlineList)
    ->ArgName("airlines")
    ->Arg(kFewAirlines)
    ->Arg(kAirlines)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    PostgresServer server;
    if (!server.isRunning()) {
        std::fprintf(stderr, "The PostgreSQL server for the benchmarks did not start: %s\n",
                     qPrintable(server.problem()));
        return 1;
    }
    theServer = &server;
    // Every register, on both engines, is made before the first measurement.
    try {
        for (const int airlines : {kFewAirlines, kAirlines})
            serverDatabase(airlines, StatementLog::On);
        serverDatabase(kAirlines, StatementLog::Off);
    } catch (const TarvexError& error) {
        std::fprintf(stderr, "The registers for the benchmarks could not be made: %s\n", qPrintable(error.message()));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
