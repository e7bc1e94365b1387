#include "checkcommand.h"

#include "generation/checkedwalk.h"
#include "generation/findingtext.h"
#include "registeropening.h"
#include "settings/options.h"
#include "store/registerstore.h"

namespace tarvex {

void printFindings(QTextStream& stream, const ScriptFindings& findings) {
    for (const ScriptFinding& finding : findings)
        stream << findingLine(finding) << u'\n';
    stream.flush();
}

int checkCommand(const QString& appDir, QDate onDay, QTextStream& out) {
    const Options options(appDir);
    RegisterStore store;
    openRegisterForOutputs(store, appDir, options);
    store.requireIntact(); // a damaged file would give findings of the wrong airlines
    const ScriptFindings findings = checkRegister(store, options, onDay);
    printFindings(out, findings);
    return hasErrors(findings) ? 1 : 0;
}

} // namespace tarvex
