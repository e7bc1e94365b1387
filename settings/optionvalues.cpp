#include "options.h"

namespace tarvex {

OptionValues Options::values() const {
    OptionValues values;
    values.header = header();
    values.mainFont = mainFont();
    values.rates = roughRates();
    values.expiryWarningDays = expiryWarningDays();
    values.registerEngine = registerEngine();
    values.serverAddress = serverAddress();
    values.scriptPrefix = scriptPrefix();
    values.smartKey = asConfigured(smartKeyNaming());
    values.scriptsPath = values.smartKey.path; // one folder box for both scripts shows the Smart Key folder
    values.smartFlow = asConfigured(smartFlowNaming());
    values.workbook = asConfigured(workbookNaming());
    for (const QString& task : groupTasks()) {
        if (createAllTaskBoxNames().contains(task) && !values.tickedTasks.contains(task))
            values.tickedTasks.append(task);
    }
    return values;
}

OutputNaming Options::asConfigured(const OutputNaming& naming) const {
    return {configuredFolder(naming.section), naming.name, naming.date};
}

} // namespace tarvex
