// Writing the whole commission workbook: Tarvex's model and package writer against
// libxlsxwriter writing the same cells, styles and merges, in time and in peak memory.

#include "peakmemory.h"
#include "support/syntheticregister.h"
#include "writers.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <cstring>
#include <unistd.h>

using namespace tarvex::bench;
using tarvex::testing::Register;
using tarvex::testing::syntheticRegister;

namespace {

enum class Writer { Tarvex, Libxlsxwriter };

const char* writerName(Writer writer) {
    return writer == Writer::Tarvex ? "tarvex" : "libxlsxwriter";
}

bool runWriter(Writer writer, const Register& airlines, const QString& path) {
    return writer == Writer::Tarvex ? writeWithTarvex(airlines, path) : writeWithLibxlsxwriter(airlines, path);
}

QString outputPath(Writer writer) {
    return QDir::temp().filePath(QStringLiteral("bench-commission-%1-%2.xlsx").arg(writerName(writer)).arg(getpid()));
}

// Peak memory of one write in a fresh process, less that of a process that only builds the register.
void addPeakMemoryCounters(benchmark::State& state, Writer writer, int airlines) {
    const long baseline = childPeakResidentKilobytes({"--peak-child", "none", QString::number(airlines)});
    const long peak = childPeakResidentKilobytes({"--peak-child", writerName(writer), QString::number(airlines)});
    if (baseline < 0 || peak < 0) {
        state.SkipWithError("the memory child failed");
        return;
    }
    state.counters["peak_rss_kb"] = double(peak);
    state.counters["peak_over_baseline_kb"] = double(peak - baseline);
}

void benchmarkWriter(benchmark::State& state, Writer writer) {
    const int airlineCount = int(state.range(0));
    const Register airlines = syntheticRegister(airlineCount);
    const QString path = outputPath(writer);
    for (auto _ : state) {
        if (!runWriter(writer, airlines, path)) {
            state.SkipWithError("writing failed");
            break;
        }
    }
    state.counters["file_kb"] = double(QFile(path).size()) / 1024.0;
    QFile::remove(path);
    addPeakMemoryCounters(state, writer, airlineCount);
}

void BM_TarvexCommissionWorkbook(benchmark::State& state) {
    benchmarkWriter(state, Writer::Tarvex);
}

void BM_LibxlsxwriterCommissionWorkbook(benchmark::State& state) {
    benchmarkWriter(state, Writer::Libxlsxwriter);
}

BENCHMARK(BM_TarvexCommissionWorkbook)->Arg(100)->Arg(1000)->Arg(2500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibxlsxwriterCommissionWorkbook)->Arg(100)->Arg(1000)->Arg(2500)->Unit(benchmark::kMillisecond);

// The child of a memory measurement: builds the register and, unless "none", writes it once.
int runPeakChild(const char* writer, const char* airlineCount) {
    const Register airlines = syntheticRegister(std::atoi(airlineCount));
    bool ok = true;
    if (std::strcmp(writer, "none") != 0) {
        const Writer which = std::strcmp(writer, "tarvex") == 0 ? Writer::Tarvex : Writer::Libxlsxwriter;
        const QString path = outputPath(which) + QStringLiteral(".child");
        ok = runWriter(which, airlines, path);
        QFile::remove(path);
    }
    printOwnPeak();
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--peak-child") == 0)
        return runPeakChild(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
