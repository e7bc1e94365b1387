#include "generation/smartflowscript.h"
#include "generation/smartkeyscript.h"

#include <QStringEncoder>

#include <benchmark/benchmark.h>

#include <map>

using namespace tarvex;
using namespace Qt::StringLiterals;

namespace {

struct SyntheticAirline {
    AirlineRecord airline;
    ConditionList conditions;
};

// A register shaped like a real one: one to four conditions per airline, percentages,
// rouble and foreign sums, two-line comments, remarks and the odd quoted name.
QList<SyntheticAirline> syntheticRegister(int airlineCount) {
    QList<SyntheticAirline> airlines;
    airlines.reserve(airlineCount);
    for (int i = 0; i < airlineCount; ++i) {
        SyntheticAirline entry;
        entry.airline.id = i + 1;
        entry.airline.airCode = u"%1"_s.arg(i, 4, 36, QChar(u'0')).toUpper();
        entry.airline.accCode = u"%1"_s.arg(100 + i % 900);
        entry.airline.airName = i % 10 == 0 ? u"АО \"Авиалинии %1\""_s.arg(i) : u"Airline number %1"_s.arg(i);
        entry.airline.comment = u"Договор № %1\r\nтолько BSP"_s.arg(i);
        entry.airline.script = true;
        for (int c = 0; c <= i % 4; ++c) {
            ConditionRecord condition;
            condition.comCondition = u"Продажа из Москвы, класс %1"_s.arg(c);
            condition.remarks = u"RM COMM %1;RM NOTE"_s.arg(c);
            switch (c % 3) {
            case 0:
                condition.comPct = Decimal4::fromUnits(75000 + 1250 * c);
                break;
            case 1:
                condition.comSum = std::int16_t(500 + c);
                condition.comVal = u"RUB"_s;
                break;
            default:
                condition.comSum = std::int16_t(50 + c);
                condition.comVal = u"EUR"_s;
                condition.valLen = 4;
                break;
            }
            entry.conditions.append(condition);
        }
        airlines.append(entry);
    }
    return airlines;
}

// Built once per size, outside the timed loops.
const QList<SyntheticAirline>& registerOf(int airlineCount) {
    static std::map<int, QList<SyntheticAirline>> registers;
    auto found = registers.find(airlineCount);
    if (found == registers.end())
        found = registers.emplace(airlineCount, syntheticRegister(airlineCount)).first;
    return found->second;
}

void feed(AirlineSink& sink, const QList<SyntheticAirline>& airlines) {
    for (const SyntheticAirline& entry : airlines)
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
        for (const SyntheticAirline& entry : airlines) {
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
