#include "generation/smartflowscript.h"
#include "generation/smartkeyscript.h"
#include "support/syntheticregister.h"

#include <QStringEncoder>

#include <benchmark/benchmark.h>

#include <map>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

// Built once per size, outside the timed loops.
const Register& registerOf(int airlineCount) {
    static std::map<int, Register> registers;
    auto found = registers.find(airlineCount);
    if (found == registers.end())
        found = registers.emplace(airlineCount, syntheticRegister(airlineCount)).first;
    return found->second;
}

void feed(AirlineSink& sink, const Register& airlines) {
    for (const RegisterEntry& entry : airlines)
        sink.addAirline(entry.airline, entry.conditions);
}

void smartKey(benchmark::State& state) {
    const auto& airlines = registerOf(int(state.range(0)));
    for (auto _ : state) {
        SmartKeyScript script(u"<CLEAR><SEND>"_s, true, u"09.12.2024"_s);
        feed(script, airlines);
        benchmark::DoNotOptimize(script.finish());
    }
    state.SetComplexityN(state.range(0));
}

void smartFlow(benchmark::State& state) {
    const auto& airlines = registerOf(int(state.range(0)));
    for (auto _ : state) {
        SmartFlowScript script(true);
        feed(script, airlines);
        benchmark::DoNotOptimize(script.finish(u"09.12.2024"_s));
    }
    state.SetComplexityN(state.range(0));
}

// The cheapest output of the same register: code;name;IATA lines in Windows-1251.
void csvBaseline(benchmark::State& state) {
    const auto& airlines = registerOf(int(state.range(0)));
    if (!QStringEncoder("windows-1251").isValid()) {
        state.SkipWithError("no Windows-1251 encoder");
        return;
    }
    for (auto _ : state) {
        QStringEncoder encoder("windows-1251");
        QByteArray bytes;
        for (const RegisterEntry& entry : airlines) {
            const AirlineRecord& airline = entry.airline;
            bytes += encoder.encode(airline.airCode + u';' + airline.airName + u';' + airline.accCode + u"\r\n"_s);
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(smartKey)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(smartFlow)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(csvBaseline)->Arg(10'000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
