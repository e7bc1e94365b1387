#include "generationrun.h"

#include "airlinelistcsv.h"
#include "airlinewalk.h"
#include "checkedwalk.h"
#include "commissionworkbook.h"
#include "common/writeprotection.h"
#include "outputfile.h"
#include "outputname.h"
#include "runobserver.h"
#include "settings/options.h"
#include "smartflowscript.h"
#include "smartkeyscript.h"
#include "store/registerstore.h"

#include <QFileInfo>

#include <optional>

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kScriptExtension = u".txt"_s;

// A read-only target refused with a notice for the information box.
RunResult noticeOfReadOnly(const QString& message) {
    return {RunResult::Status::Refused, {}, message};
}

// Tells the observer that writing is over, however it ends.
struct EndOfRun {
    RunObserver& observer;
    ~EndOfRun() { observer.runEnded(); }
};

// Why a script with errors is not written, and what became of its file.
QString refusedScriptMessage(FindingScript script, const QString& path) {
    const QString title = script == FindingScript::SmartKey ? u"Smart Key"_s : u"Smart Flow"_s;
    const QString kept =
        QFileInfo::exists(path) ? u"Прежний файл %1 остался без изменений."_s : u"Файл %1 не создан."_s;
    return u"Скрипт %1 не записан: в реестре есть ошибки, с которыми скрипт сработал бы не так, как задумано. "
           u"Исправьте их и сформируйте скрипт снова. "_s.arg(title) +
           kept.arg(path);
}

} // namespace

// The part of a run that differs between the outputs.
struct GenerationRun::OutputWriter {
    QString path;
    // What the run ends with when the target exists read-only; nothing is written.
    RunResult readOnlyRefusal;
    // Receives the airlines of the walk.
    AirlineSink& sink;
    // Gives the sink the file before the walk, so it writes as the airlines come; none for
    // the workbook, which holds its compressed sheet and writes the package at the end.
    std::function<void(OutputFile&)> startWriting = {};
    // What the user should know about the written file, filled by the walk; only the workbook has any.
    const QStringList* warnings = nullptr;
    // Writes what the sink made of the airlines and has not yet written into the file.
    std::function<void(OutputFile&)> writeComposition;
    // The script the register is checked for on the same walk; none for the workbook and the list.
    std::optional<FindingScript> checkedScript = std::nullopt;
};

GenerationRun::GenerationRun(RegisterStore& store, const Options& options, RunObserver& observer)
    : m_store(store)
    , m_options(options)
    , m_observer(observer)
    , m_today([] { return QDate::currentDate(); }) {}

RunResult GenerationRun::run(const GenerationRequest& request) {
    try {
        // A damaged file reads wrong without an error; one check serves the whole command.
        if (!m_registerChecked) {
            m_store.requireIntact();
            m_registerChecked = true;
        }
        m_store.resetAirlineView();
        RunResult result = writeOutput(request);
        result.kind = request.kind;
        return result;
    } catch (const TarvexError& error) {
        return {RunResult::Status::Failed, {}, error.message(), {}, {}, request.kind};
    }
}

RunResult GenerationRun::writeOutput(const GenerationRequest& request) {
    switch (request.kind) {
    case OutputKind::SmartKey:
        return writeSmartKeyScript(request);
    case OutputKind::SmartFlow:
        return writeSmartFlowScript(request);
    case OutputKind::Workbook:
        return writeCommissionWorkbook(request);
    case OutputKind::AirlineList:
        return writeAirlineListCsv(request);
    }
    Q_UNREACHABLE();
}

QList<RunResult> GenerationRun::createAll(QDate onDay, const std::function<void(const RunResult&)>& eachResult) {
    QStringList tasks;
    try {
        tasks = m_options.groupTasks();
    } catch (const TarvexError& error) { // a settings file that cannot be read
        return {{RunResult::Status::Failed, {}, error.message()}};
    }
    QList<RunResult> results;
    for (const QString& value : tasks) {
        const std::optional<CreateAllTask> task = decodeCreateAllTask(value);
        if (!task)
            continue;
        GenerationRequest request;
        request.kind = task->kind;
        request.withRemarks = task->flag;
        request.includeFees = task->flag;
        request.onDay = onDay;
        results << run(request);
        if (eachResult)
            eachResult(results.last());
        if (results.last().status == RunResult::Status::Failed)
            break;
    }
    return results;
}

RunResult GenerationRun::writeFile(const GenerationRequest& request, const OutputWriter& writer) {
    if (isWriteProtected(writer.path))
        return writer.readOnlyRefusal;
    OutputFile file(writer.path, m_deviceFilter);
    if (writer.startWriting)
        writer.startWriting(file);
    m_observer.runStarted();
    const EndOfRun ended{m_observer};
    HeldFindings held;
    if (writer.checkedScript) {
        if (walkChecked(m_store, writer.sink, checkSettingsFrom(m_options, request.withRemarks, dayOf(request)),
                        *writer.checkedScript, m_findingReceiver ? *m_findingReceiver : held, m_observer)) {
            return {RunResult::Status::ScriptErrors, writer.path,
                    refusedScriptMessage(*writer.checkedScript, writer.path), errorsFirst(std::move(held.findings))};
        }
    } else {
        walkAirlines(m_store, writer.sink, m_observer);
    }
    writer.writeComposition(file);
    file.commit();
    return {RunResult::Status::Written,
            writer.path,
            {},
            std::move(held.findings), // a written script has no errors to put first
            writer.warnings ? *writer.warnings : QStringList()};
}

RunResult GenerationRun::writeSmartKeyScript(const GenerationRequest& request) {
    const QDate day = dayOf(request);
    SmartKeyScript script(m_options.scriptPrefix(), request.withRemarks, shortDateText(day));
    return writeFile(request,
                     {.path = composeOutputName(m_options.smartKeyNaming(), kScriptExtension, request.withRemarks, day),
                      .readOnlyRefusal = noticeOfReadOnly(u"Файл защищен от записи"_s),
                      .sink = script,
                      .startWriting = [&](OutputFile& file) { script.writeTo(file); },
                      .writeComposition = [&](OutputFile& file) { file.write(script.finish()); },
                      .checkedScript = FindingScript::SmartKey});
}

RunResult GenerationRun::writeSmartFlowScript(const GenerationRequest& request) {
    SmartFlowScript script(request.withRemarks);
    return writeFile(
        request,
        {.path = composeOutputName(m_options.smartFlowNaming(), kScriptExtension, request.withRemarks, dayOf(request)),
         .readOnlyRefusal = noticeOfReadOnly(u"Файл защищен от записи"_s),
         .sink = script,
         .startWriting = [&](OutputFile& file) { script.writeTo(file); },
         // The prompt carries the date at which the walk ended, or the day asked for.
         .writeComposition = [&](OutputFile& file) { file.write(script.finish(shortDateText(dayOf(request)))); },
         .checkedScript = FindingScript::SmartFlow});
}

RunResult GenerationRun::writeCommissionWorkbook(const GenerationRequest& request) {
    const QDate day = dayOf(request);
    const QString path = composeOutputName(m_options.workbookNaming(), u".xlsx"_s, false, day);
    CommissionWorkbook workbook(shortDateText(day), request.includeFees);
    return writeFile(
        request,
        {.path = path,
         // The workbook reports a read-only target as a file it cannot create.
         .readOnlyRefusal = {RunResult::Status::Failed, {}, cannotCreateFileMessage(path, u"Файл защищен от записи"_s)},
         .sink = workbook,
         .warnings = &workbook.warnings(),
         .writeComposition = [&](OutputFile& file) {
             QString reason;
             if (!workbook.writePackage(file.device(), &reason))
                 file.fail(reason);
         }});
}

RunResult GenerationRun::writeAirlineListCsv(const GenerationRequest& request) {
    AirlineListCsv list;
    return writeFile(request, {.path = m_options.defaultOutputFolder() + u"/Tarvex_AviaList.csv"_s,
                               .readOnlyRefusal = noticeOfReadOnly(u"Файл защищен от записи."_s),
                               .sink = list,
                               .startWriting = [&](OutputFile& file) { list.writeTo(file); },
                               .writeComposition = [&](OutputFile& file) { file.write(list.finish()); }});
}

} // namespace tarvex
