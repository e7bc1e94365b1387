#include "generation/generationrun.h"
#include "generation/runobserver.h"
#include "settings/options.h"
#include "store/registerstore.h"
#include "support/registerfixture.h"

#include <QFileInfo>
#include <QTest>

using namespace tarvex;
using namespace tarvex::testing;
using namespace Qt::StringLiterals;

namespace {

QDate day(const char* iso) {
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

// A register whose conditions start and end on various days around December 2024.
Register datedRegister() {
    return {
        {airline(u"SU"_s, u"Аэрофлот"_s, u"555"_s),
         {percentCondition(u"все тарифы"_s, "5"),
          inForce(percentCondition(u"акция осени"_s, "9"), day("2024-09-01"), day("2024-12-08")),
          inForce(percentCondition(u"акция зимы"_s, "8"), day("2024-12-10"), QDate()),
          sumCondition(u"бизнес"_s, 20, u"USD"_s, 4)}},
        {airline(u"S7"_s, u"Сибирь"_s, u"421"_s),
         {inForce(percentCondition(u"старый договор"_s, "3"), QDate(), day("2024-11-30"))}},
        {airline(u"UT"_s, u"ЮТэйр"_s, u"298"_s), {}},
        {airline(u"FV"_s, u"Россия"_s, u"195"_s),
         {inForce(percentCondition(u"один день"_s, "4"), day("2024-12-09"), day("2024-12-09")),
          inForce(percentCondition(u"високосный"_s, "6"), day("2028-02-01"), day("2028-02-29"))}},
    };
}

// The register as a person would have typed it on the day: without what is out of force,
// and without an airline left with nothing.
Register inForceOnly(const Register& dated, QDate on) {
    Register kept;
    for (const RegisterEntry& entry : dated) {
        ConditionList conditions;
        for (const ConditionRecord& condition : entry.conditions) {
            if (condition.inForceOn(on))
                conditions << condition;
        }
        if (entry.conditions.isEmpty() || !conditions.isEmpty())
            kept << RegisterEntry{entry.airline, conditions};
    }
    return kept;
}

struct Written {
    RunResult result;
    QByteArray bytes;
};

// One output of the register, written on `runDay`, as of `onDay` when it is given.
Written write(const Register& airlines, OutputKind kind, QDate runDay, QDate onDay = {}) {
    TempAppFolder folder;
    folder.writeOptions("[script]\r\ndate=1\r\n[flow]\r\ndate=1\r\n");
    insertRegister(folder.databasePath(), airlines);
    RegisterStore& store = folder.openStore();
    const Options options(folder.appDir());
    RunObserver quiet;
    GenerationRun run(store, options, quiet);
    run.setClock([runDay] { return runDay; });
    GenerationRequest request{kind};
    request.withRemarks = true;
    request.onDay = onDay;
    const RunResult result = run.run(request);
    return {result, readFile(result.filePath)};
}

} // namespace

class ValidDaysTest : public QObject {
    Q_OBJECT
private slots:
    // A script written as of a day is the script of the register holding only what is in
    // force that day: the conditions are numbered without gaps, and an airline left with no
    // condition is left out. The day is the run's, or the one asked for.
    void scriptsCarryWhatIsInForceOnTheDay_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QDate>("runDay");
        QTest::addColumn<QDate>("onDay");
        for (const auto& [name, kind] :
             {std::pair{"Smart Key", OutputKind::SmartKey}, std::pair{"Smart Flow", OutputKind::SmartFlow}}) {
            QTest::addRow("%s, the run's day", name) << int(kind) << day("2024-12-09") << QDate();
            QTest::addRow("%s, a later day asked for", name) << int(kind) << day("2024-12-09") << day("2024-12-10");
            QTest::addRow("%s, an earlier day asked for", name) << int(kind) << day("2025-06-01") << day("2024-12-08");
            QTest::addRow("%s, a leap day", name) << int(kind) << day("2024-12-09") << day("2028-02-29");
        }
    }
    void scriptsCarryWhatIsInForceOnTheDay() {
        QFETCH(int, kind);
        QFETCH(QDate, runDay);
        QFETCH(QDate, onDay);
        const QDate asOf = onDay.isNull() ? runDay : onDay;
        const Written dated = write(datedRegister(), OutputKind(kind), runDay, onDay);
        const Written typed = write(inForceOnly(datedRegister(), asOf), OutputKind(kind), asOf);
        QCOMPARE(dated.result.status, RunResult::Status::Written);
        QCOMPARE(dated.bytes, typed.bytes);
        QVERIFY(!dated.bytes.isEmpty());
        // The day stands in the file's name as it does in its heading.
        QCOMPARE(QFileInfo(dated.result.filePath).fileName(), QFileInfo(typed.result.filePath).fileName());
        QVERIFY(dated.result.filePath.endsWith(u"_%1.txt"_s.arg(asOf.toString(u"dd.MM.yyyy"_s))));
    }

    void airlineLeftWithoutConditionsIsAWarning() {
        const Written flow = write(datedRegister(), OutputKind::SmartFlow, day("2024-12-09"));
        QStringList outOfForce;
        for (const ScriptFinding& finding : flow.result.findings) {
            if (finding.field == u"ComTill"_s || finding.field == u"ComFrom"_s)
                outOfForce << finding.airCode + u' ' + finding.field + u": "_s + finding.effect;
        }
        QCOMPARE(
            outOfForce,
            QStringList{u"S7 ComTill: ни одно условие не действует на 09.12.2024: авиакомпании не будет в скриптах"_s});
        QVERIFY(!flow.bytes.contains("S7"));

        // Before the only condition starts, the start is what keeps the airline out.
        const Written early = write(datedRegister(), OutputKind::SmartKey, day("2024-12-09"), day("2024-06-01"));
        QVERIFY(std::any_of(early.result.findings.begin(), early.result.findings.end(),
                            [](const ScriptFinding& f) { return f.airCode == u"FV"_s && f.field == u"ComFrom"_s; }));
    }

    // The workbook and the list keep every condition and airline, whatever the day.
    void workbookAndListKeepEverything() {
        const Written list = write(datedRegister(), OutputKind::AirlineList, day("2024-12-09"));
        QVERIFY(list.bytes.contains("S7;"));
        const Written workbook = write(datedRegister(), OutputKind::Workbook, day("2024-12-09"));
        QCOMPARE(workbook.result.status, RunResult::Status::Written);
    }
};

QTEST_GUILESS_MAIN(ValidDaysTest)
#include "tst_validdays.moc"
