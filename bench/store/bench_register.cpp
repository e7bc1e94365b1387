// The register of 10,000 airlines and 30,000 conditions: opening the store, the
// generation walk and the airline list, each against a raw SQLite C-API loop over
// the same file.

#include "airlinewalk.h"
#include "benchregister.h"
#include "datamodule.h"
#include "generationrun.h"
#include "options.h"
#include "runobserver.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace tarvex;

namespace {

constexpr int kAirlines = 10000;
constexpr int kConditions = 30000;

QString appDir()
{
    return bench::benchAppDir(kAirlines, kConditions);
}

sqlite3* openRaw()
{
    sqlite3* db = nullptr;
    const QByteArray path = TDataModule1::databasePath(appDir()).toUtf8();
    sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    return db;
}

// Baseline: airlines in code order, then one reused statement per airline reading
// every column of its conditions.
void BM_RawWalk(benchmark::State& state)
{
    sqlite3* db = openRaw();
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
BENCHMARK(BM_RawWalk)->Unit(benchmark::kMillisecond);

// Baseline of the list: the airlines' three columns in code order.
void BM_RawReadMain(benchmark::State& state)
{
    sqlite3* db = openRaw();
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

void BM_OpenStore(benchmark::State& state)
{
    for (auto _ : state) {
        TDataModule1 data;
        data.open(appDir());
        benchmark::DoNotOptimize(data.tbComm.recordCount());
    }
}
BENCHMARK(BM_OpenStore)->Unit(benchmark::kMillisecond);

struct CountingSink : AirlineSink {
    std::size_t conditions = 0;
    void addAirline(const AirlineRecord&, const ConditionList& list) override { conditions += list.size(); }
};

void BM_GenerationWalk(benchmark::State& state)
{
    TDataModule1 data;
    data.open(appDir());
    RunObserver quiet;
    for (auto _ : state) {
        data.resetAirlineView();
        CountingSink sink;
        walkAirlines(data, data.tbMain.recordCount(), sink, quiet);
        if (sink.conditions != kConditions)
            state.SkipWithError("conditions lost in the walk");
    }
}
BENCHMARK(BM_GenerationWalk)->Unit(benchmark::kMillisecond);

void BM_AirlineListCsv(benchmark::State& state)
{
    TDataModule1 data;
    data.open(appDir());
    const Options options(appDir());
    RunObserver quiet;
    GenerationRun run(data, options, quiet);
    for (auto _ : state) {
        if (run.run({OutputKind::AirlineList}).status != RunResult::Status::Written)
            state.SkipWithError("the list was not written");
    }
}
BENCHMARK(BM_AirlineListCsv)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    appDir(); // the register is made before any measurement
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
