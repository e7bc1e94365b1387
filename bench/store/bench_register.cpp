// The register of 10,000 airlines and 30,000 conditions: opening the store, the
// generation walk and the airline list, each against a raw SQLite C-API loop over
// the same file; the damage check before the outputs; and the whole commands that
// write the outputs.

#include "benchregister.h"
#include "generation/airlinewalk.h"
#include "generation/generationrun.h"
#include "generation/inforce.h"
#include "generation/runobserver.h"
#include "settings/options.h"
#include "store/registerintegrity.h"
#include "store/registerstore.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace tarvex;

namespace {

constexpr int kAirlines = 10000;
constexpr int kConditions = kAirlines * 3;

QString appDir() {
    return bench::benchAppDir(kAirlines, kConditions);
}

// The register of a walk measurement: 10,000 airlines, or 1,000 whose file fits
// SQLite's page cache; three conditions an airline either way.
QString walkAppDir(const benchmark::State& state) {
    const int airlines = int(state.range(0));
    return airlines == kAirlines ? appDir() : bench::benchAppDir(airlines, airlines * 3);
}

sqlite3* openRaw(const QString& folder) {
    sqlite3* db = nullptr;
    const QByteArray path = RegisterStore::databasePath(folder).toUtf8();
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    return db;
}

// Baseline: airlines in code order, then one reused statement per airline reading
// every column of its conditions: each number, and each text's length.
void BM_RawWalk(benchmark::State& state) {
    sqlite3* db = openRaw(walkAppDir(state));
    for (auto _ : state) {
        sqlite3_stmt* airlines = nullptr;
        sqlite3_stmt* conditions = nullptr;
        sqlite3_prepare_v2(db, "SELECT id FROM tbMain ORDER BY AirCode, id", -1, &airlines, nullptr);
        sqlite3_prepare_v2(db, "SELECT * FROM tbComm WHERE ComId = ? ORDER BY id", -1, &conditions, nullptr);
        std::size_t bytes = 0;
        while (sqlite3_step(airlines) == SQLITE_ROW) {
            sqlite3_bind_int64(conditions, 1, sqlite3_column_int64(airlines, 0));
            while (sqlite3_step(conditions) == SQLITE_ROW) {
                for (int c = 0; c < 9; ++c) {
                    if (sqlite3_column_type(conditions, c) == SQLITE_TEXT)
                        bytes += std::size_t(sqlite3_column_bytes(conditions, c));
                    else
                        bytes += std::size_t(sqlite3_column_int64(conditions, c));
                }
            }
            sqlite3_reset(conditions);
        }
        benchmark::DoNotOptimize(bytes);
        sqlite3_finalize(conditions);
        sqlite3_finalize(airlines);
    }
    sqlite3_close(db);
}
BENCHMARK(BM_RawWalk)->Arg(1000)->Arg(kAirlines)->Unit(benchmark::kMillisecond);

// Baseline of the list: the airlines' three columns in code order.
void BM_RawReadMain(benchmark::State& state) {
    sqlite3* db = openRaw(appDir());
    for (auto _ : state) {
        sqlite3_stmt* airlines = nullptr;
        sqlite3_prepare_v2(db, "SELECT AirCode, AirName, AccCode FROM tbMain ORDER BY AirCode, id", -1, &airlines,
                           nullptr);
        std::size_t bytes = 0;
        while (sqlite3_step(airlines) == SQLITE_ROW) {
            for (int c = 0; c < 3; ++c)
                bytes += std::size_t(sqlite3_column_bytes(airlines, c));
        }
        benchmark::DoNotOptimize(bytes);
        sqlite3_finalize(airlines);
    }
    sqlite3_close(db);
}
BENCHMARK(BM_RawReadMain)->Unit(benchmark::kMillisecond);

void BM_OpenStore(benchmark::State& state) {
    for (auto _ : state) {
        RegisterStore store;
        store.open(appDir());
        benchmark::DoNotOptimize(store.conditions().recordCount());
    }
}
BENCHMARK(BM_OpenStore)->Unit(benchmark::kMillisecond);

// The damage check every generation command makes once before its first output; compare
// with BM_OpenStore and BM_GenerationWalk over the same register.
void BM_IntegrityCheck(benchmark::State& state) {
    RegisterStore store;
    store.open(walkAppDir(state));
    for (auto _ : state)
        requireIntactRegister(store.connection());
}
BENCHMARK(BM_IntegrityCheck)->Arg(1000)->Arg(kAirlines)->Unit(benchmark::kMillisecond);

struct CountingSink : AirlineSink {
    std::size_t conditions = 0;
    void addAirline(const AirlineRecord&, const ConditionList& list) override { conditions += list.size(); }
};

void BM_GenerationWalk(benchmark::State& state) {
    RegisterStore store;
    store.open(walkAppDir(state));
    RunObserver quiet;
    for (auto _ : state) {
        store.resetAirlineView();
        CountingSink sink;
        walkAirlines(store, sink, quiet);
        if (sink.conditions != std::size_t(state.range(0)) * 3)
            state.SkipWithError("conditions lost in the walk");
    }
}
BENCHMARK(BM_GenerationWalk)->Arg(1000)->Arg(kAirlines)->Unit(benchmark::kMillisecond);

// The walk as the scripts make it, as of today, over the same register without and with
// days in force on every condition (the second argument): what reading and checking the
// days costs.
void BM_WalkInForce(benchmark::State& state) {
    const int airlines = int(state.range(0));
    RegisterStore store;
    store.open(bench::benchAppDir(airlines, airlines * 3, state.range(1) != 0));
    RunObserver quiet;
    for (auto _ : state) {
        store.resetAirlineView();
        CountingSink counted;
        InForceOn sink(QDate::currentDate(), counted);
        walkAirlines(store, sink, quiet);
        if (counted.conditions != std::size_t(airlines) * 3)
            state.SkipWithError("conditions lost in the walk");
    }
}
BENCHMARK(BM_WalkInForce)->ArgsProduct({{kAirlines}, {0, 1}})->Unit(benchmark::kMillisecond);

// A whole command as the user runs it: damage check, walk, writer and file, for registers of 1,000
// and 10,000 airlines (three conditions each on average).
void BM_Output(benchmark::State& state, OutputKind kind) {
    const int airlines = int(state.range(0));
    const QString folder = bench::benchAppDir(airlines, airlines * 3);
    RegisterStore store;
    store.open(folder);
    const Options options(folder);
    RunObserver quiet;
    GenerationRequest request;
    request.kind = kind;
    request.withRemarks = true;
    for (auto _ : state) {
        GenerationRun run(store, options, quiet); // one command: its damage check included
        if (run.run(request).status != RunResult::Status::Written)
            state.SkipWithError("the file was not written");
    }
}
BENCHMARK_CAPTURE(BM_Output, AirlineListCsv, OutputKind::AirlineList)
    ->Arg(1000)
    ->Arg(kAirlines)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Output, SmartKey, OutputKind::SmartKey)->Arg(1000)->Arg(kAirlines)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Output, SmartFlow, OutputKind::SmartFlow)
    ->Arg(1000)
    ->Arg(kAirlines)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Output, Workbook, OutputKind::Workbook)->Arg(1000)->Arg(kAirlines)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    appDir(); // the register is made before any measurement
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
