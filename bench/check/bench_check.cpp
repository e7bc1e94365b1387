// The check runs beside the Smart Flow writer in every Smart Flow run, so its cost is
// measured against the writer's on the same register: 10,000 airlines with three
// conditions each, in memory, so that neither side pays for the store.

#include "generation/scriptcheck.h"
#include "generation/smartflowscript.h"

#include <benchmark/benchmark.h>

#include <chrono>

using namespace tarvex;
using namespace Qt::StringLiterals;

namespace {

constexpr int kAirlines = 10'000;
constexpr int kConditionsPerAirline = 3;

struct Airline {
    AirlineRecord airline;
    ConditionList conditions;
};

// Percentages, rouble and foreign sums, remarks, two-line comments; about one airline
// in fifty carries a text that the check reports.
QList<Airline> benchRegister() {
    QList<Airline> airlines;
    airlines.reserve(kAirlines);
    std::int32_t conditionId = 1;
    for (int i = 0; i < kAirlines; ++i) {
        Airline entry;
        entry.airline.id = i + 1;
        entry.airline.airCode = u"%1"_s.arg(i, 3, 36, QChar(u'0')).toUpper();
        entry.airline.accCode = QString::number(100 + i % 900);
        entry.airline.airName = i % 50 == 0 ? u"Авиалинии <%1> & партнёры"_s.arg(i) : u"Авиалинии номер %1"_s.arg(i);
        entry.airline.comment = u"Договор № %1 до конца года\r\nтолько BSP"_s.arg(i);
        entry.airline.script = true;
        for (int c = 0; c < kConditionsPerAirline; ++c) {
            ConditionRecord condition;
            condition.id = conditionId++;
            condition.comCondition = u"Продажа из Москвы, класс %1, кроме групп"_s.arg(c);
            condition.remarks = u"RM COMM %1;RM AGENT NOTE"_s.arg(c);
            switch (c) {
            case 0:
                condition.comPct = Decimal4::fromUnits(50000 + 2500 * (i % 4));
                break;
            case 1:
                condition.comSum = std::int16_t(500 + i % 100);
                condition.comVal = u"RUB"_s;
                break;
            default:
                condition.comSum = std::int16_t(20 + i % 30);
                condition.comVal = i % 2 ? u"EUR"_s : u"USD"_s;
                condition.valLen = i % 50 == 1 ? 0 : 4;
                break;
            }
            entry.conditions.append(condition);
        }
        airlines.append(entry);
    }
    return airlines;
}

const QList<Airline>& theRegister() {
    static const QList<Airline> airlines = benchRegister();
    return airlines;
}

void feed(AirlineSink& sink) {
    for (const Airline& entry : theRegister())
        sink.addAirline(entry.airline, entry.conditions);
}

qsizetype writeSmartFlow() {
    SmartFlowScript script(true);
    feed(script);
    return script.finish(u"09.12.2024"_s).size();
}

qsizetype checkScripts() {
    ScriptCheck check({u"<CLEAR><EOS>RT<SEND>"_s, true, RoughRates()});
    feed(check);
    return check.findings().size();
}

void smartFlowWriter(benchmark::State& state) {
    theRegister();
    for (auto _ : state)
        benchmark::DoNotOptimize(writeSmartFlow());
}

void scriptCheck(benchmark::State& state) {
    theRegister();
    for (auto _ : state)
        benchmark::DoNotOptimize(checkScripts());
    state.counters["findings"] = double(checkScripts());
}

// Both in turn within each iteration, so that the share is measured under the same
// conditions of the machine; "share" is the check's time over the writer's.
void checkShareOfWriter(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    theRegister();
    Clock::duration writer{};
    Clock::duration check{};
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(writeSmartFlow());
        const auto written = Clock::now();
        benchmark::DoNotOptimize(checkScripts());
        check += Clock::now() - written;
        writer += written - start;
    }
    const auto milliseconds = [&](Clock::duration total) {
        return std::chrono::duration<double, std::milli>(total).count() / double(state.iterations());
    };
    state.counters["writer_ms"] = milliseconds(writer);
    state.counters["check_ms"] = milliseconds(check);
    state.counters["share"] = double(check.count()) / double(writer.count());
}

} // namespace

BENCHMARK(smartFlowWriter)->Unit(benchmark::kMillisecond);
BENCHMARK(scriptCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(checkShareOfWriter)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
