#include "checkcommand.h"

#include "generation/checkedwalk.h"
#include "settings/options.h"
#include "store/registerintegrity.h"
#include "store/registerstore.h"

#include <algorithm>

namespace tarvex {

void printFindings(QTextStream& stream, const ScriptFindings& findings) {
    for (const ScriptFinding& finding : findings)
        stream << findingLine(finding) << u'\n';
    stream.flush();
}

int checkCommand(const QString& appDir, QTextStream& out) {
    RegisterStore data;
    data.open(appDir);
    requireIntactRegister(data.connection()); // a damaged file would give findings of the wrong airlines
    const ScriptFindings findings = checkRegister(data, Options(appDir));
    printFindings(out, findings);
    const bool anyError = std::any_of(findings.begin(), findings.end(),
                                      [](const ScriptFinding& finding) { return finding.kind == FindingKind::Error; });
    return anyError ? 1 : 0;
}

} // namespace tarvex
