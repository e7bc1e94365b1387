#pragma once

#include "createalltask.h"
#include "outputfile.h"
#include "scriptcheck.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tarvex {

class Options;
class RunObserver;
class RegisterStore;

// What one command hands to a writer.
struct GenerationRequest {
    OutputKind kind = OutputKind::SmartKey;
    bool withRemarks = false; // the scripts
    bool includeFees = true;  // the workbook
    // The day the outputs are written as of: the scripts carry the conditions in force on
    // it, and it stands in the names and texts. Null: the day of the run.
    QDate onDay = {};
};

struct RunResult {
    enum class Status {
        Written, // filePath holds the complete file
        Refused, // the target is read-only: message is for an information box "Ошибка сохранения"
        Failed,  // message is for the error box; nothing was written over the target
        // The script check found errors: the script at filePath is not written and the
        // previous file stays. message says so; findings lists what concerns the script.
        ScriptErrors,
    };
    Status status = Status::Failed;
    QString filePath;
    QString message;
    ScriptFindings findings{}; // of a checked script, errors first
    QStringList warnings{};    // of a written workbook: texts cut to fit a cell
    OutputKind kind = {};      // the output asked for
};

// The frame every output is written in: the airline list is reset to all airlines in
// code order, the output name is composed from the settings, a read-only target is
// refused, the file is created, the airlines are walked with progress, and the file
// is put in place only when it is complete. Only the writer differs between outputs.
class GenerationRun {
public:
    GenerationRun(RegisterStore& store, const Options& options, RunObserver& observer);

    // Tests fix the date that goes into names and texts.
    void setClock(std::function<QDate()> today) { m_today = std::move(today); }
    // Tests place a device before the output file, one that fails at a given byte.
    void setDeviceFilter(DeviceFilter filter) { m_deviceFilter = std::move(filter); }

    // From now on the findings of a checked script go to `receiver` as the walk finds
    // them, those of a script with errors too, and the results carry none: for a caller
    // that shows them at once, where a register with many findings would hold them all.
    // A receiver learns from each result what became of the findings it got since the last.
    void passFindingsTo(FindingReceiver* receiver) { m_findingReceiver = receiver; }

    RunResult run(const GenerationRequest& request);

    // "Create all": the tasks of section group in file order, each with the flag its
    // line gives. A read-only target or a script with errors skips that task; a failure
    // stops the rest. `eachResult`, when given, is told each result as it comes.
    QList<RunResult> createAll(QDate onDay = {}, const std::function<void(const RunResult&)>& eachResult = {});

private:
    struct OutputWriter;
    QDate dayOf(const GenerationRequest& request) const { return request.onDay.isNull() ? m_today() : request.onDay; }
    // The output the request asks for; throws for a failure of the register or the file.
    RunResult writeOutput(const GenerationRequest& request);
    RunResult writeFile(const GenerationRequest& request, const OutputWriter& writer);

    RunResult writeSmartKeyScript(const GenerationRequest& request);
    RunResult writeSmartFlowScript(const GenerationRequest& request);
    RunResult writeCommissionWorkbook(const GenerationRequest& request);
    RunResult writeAirlineListCsv(const GenerationRequest& request);

    RegisterStore& m_store;
    const Options& m_options;
    RunObserver& m_observer;
    std::function<QDate()> m_today;
    DeviceFilter m_deviceFilter;
    FindingReceiver* m_findingReceiver = nullptr;
    // A damaged register is refused before the first output; the outputs after it share that check.
    bool m_registerChecked = false;
};

} // namespace tarvex
