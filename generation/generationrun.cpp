#include "generationrun.h"

#include "airlinelistcsv.h"
#include "airlinewalk.h"
#include "checkedwalk.h"
#include "commissionworkbook.h"
#include "outputfile.h"
#include "outputname.h"
#include "runobserver.h"
#include "settings/options.h"
#include "smartflowscript.h"
#include "smartkeyscript.h"
#include "store/registerstore.h"
#include "xlsx/package.h"

using namespace Qt::StringLiterals;

namespace tarvex {

namespace {

const QString kScriptExtension = u".txt"_s;

RunResult refused(const QString& message) {
    return {RunResult::Status::Refused, {}, message};
}

} // namespace

GenerationRun::GenerationRun(RegisterStore& data, const Options& options, RunObserver& observer)
    : m_data(data)
    , m_options(options)
    , m_observer(observer)
    , m_today([] { return QDate::currentDate(); }) {}

RunResult GenerationRun::run(const GenerationRequest& request) {
    try {
        m_data.resetAirlineView();
        const int airlineCount = m_data.airlines().recordCount();
        switch (request.kind) {
        case OutputKind::SmartKey:
            return writeSmartKeyScript(request, airlineCount);
        case OutputKind::SmartFlow:
            return writeSmartFlowScript(request, airlineCount);
        case OutputKind::Workbook:
            return writeCommissionWorkbook(request, airlineCount);
        case OutputKind::AirlineList:
            return writeAirlineListCsv(request, airlineCount);
        }
        return {};
    } catch (const TarvexError& error) {
        m_observer.runAbandoned();
        return {RunResult::Status::Failed, {}, error.message()};
    }
}

QList<RunResult> GenerationRun::createAll() {
    QList<RunResult> results;
    for (const QString& value : m_options.groupTasks()) {
        const std::optional<GroupTask> task = decodeGroupTask(value);
        if (!task)
            continue;
        GenerationRequest request;
        request.kind = task->kind;
        request.startedByCreateAll = true;
        request.withRemarks = task->flag;
        request.includeFees = task->flag;
        results << run(request);
        if (results.last().status == RunResult::Status::Failed)
            break;
    }
    return results;
}

RunResult GenerationRun::writeSmartKeyScript(const GenerationRequest& request, int airlineCount) {
    const QDate today = m_today();
    const QString path = composeOutputName(m_options.smartKeyNaming(), kScriptExtension, request.withRemarks, today);
    if (isWriteProtected(path))
        return refused(u"Файл защищен от записи"_s);
    OutputFile file(path);
    m_observer.runStarted();
    SmartKeyScript script(m_options.scriptPrefix(), request.withRemarks, shortDateText(today));
    const ScriptFindings findings =
        walkChecked(m_data, airlineCount, script, checkSettingsFrom(m_options, request.withRemarks),
                    FindingScript::SmartKey, m_observer);
    refuseBrokenSmartKey(findings);
    file.write(script.finish());
    file.commit();
    RunResult result = finish(request, path);
    result.findings = findings;
    return result;
}

RunResult GenerationRun::writeSmartFlowScript(const GenerationRequest& request, int airlineCount) {
    const QString path =
        composeOutputName(m_options.smartFlowNaming(), kScriptExtension, request.withRemarks, m_today());
    if (isWriteProtected(path))
        return refused(u"Файл защищен от записи"_s);
    OutputFile file(path);
    m_observer.runStarted();
    SmartFlowScript script(request.withRemarks);
    const ScriptFindings findings =
        walkChecked(m_data, airlineCount, script, checkSettingsFrom(m_options, request.withRemarks),
                    FindingScript::SmartFlow, m_observer);
    // The prompt carries the date at which the walk ended.
    file.write(script.finish(shortDateText(m_today())));
    file.commit();
    RunResult result = finish(request, path);
    result.findings = findings;
    return result;
}

RunResult GenerationRun::writeCommissionWorkbook(const GenerationRequest& request, int airlineCount) {
    m_observer.runStarted();
    const QDate today = m_today();
    const QString path = composeOutputName(m_options.workbookNaming(), u".xlsx"_s, false, today);
    OutputFile file(path);
    CommissionWorkbook workbook(shortDateText(today), request.includeFees);
    walkAirlines(m_data, airlineCount, workbook, m_observer);
    QString reason;
    if (!xlsx::writePackage(workbook.workbook(), file.device(), &reason))
        file.fail(reason);
    file.commit();
    return finish(request, path);
}

RunResult GenerationRun::writeAirlineListCsv(const GenerationRequest& request, int airlineCount) {
    const QString path = m_options.defaultOutputFolder() + u"/Tarvex_AviaList.csv"_s;
    if (isWriteProtected(path))
        return refused(u"Файл защищен от записи."_s);
    AirlineListCsv list;
    OutputFile file(path);
    m_observer.runStarted();
    walkAirlines(m_data, airlineCount, list, m_observer);
    file.write(list.finish());
    file.commit();
    return finish(request, path);
}

RunResult GenerationRun::finish(const GenerationRequest& request, const QString& path) {
    m_observer.runFinished(path, request.startedByCreateAll);
    return {RunResult::Status::Written, path, {}};
}

} // namespace tarvex
