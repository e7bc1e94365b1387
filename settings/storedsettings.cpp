#include "storedsettings.h"

namespace tarvex {

namespace {

// An output's naming with its folder as the user wrote it.
OutputNaming asConfigured(const Options& options, const OutputNaming& naming) {
    return {options.configuredFolder(naming.section), naming.name, naming.date};
}

} // namespace

SavedSettings readStoredSettings(const Options& options) {
    SavedSettings stored;
    stored.header = options.header();
    stored.mainFont = options.mainFont();
    stored.rates = options.roughRates();
    stored.expiryWarningDays = options.expiryWarningDays();
    stored.scriptPrefix = options.scriptPrefix();
    stored.smartKey = asConfigured(options, options.smartKeyNaming());
    stored.scriptsPath = stored.smartKey.path; // one folder box for both scripts shows the Smart Key folder
    stored.smartFlow = asConfigured(options, options.smartFlowNaming());
    stored.workbook = asConfigured(options, options.workbookNaming());
    for (const QString& task : options.groupTasks()) {
        if (groupTaskBoxNames().contains(task) && !stored.tickedTasks.contains(task))
            stored.tickedTasks.append(task);
    }
    return stored;
}

} // namespace tarvex
