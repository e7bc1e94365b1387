#include "storedsettings.h"

namespace tarvex {

SavedSettings readStoredSettings(const Options& options) {
    SavedSettings stored;
    stored.header = options.header();
    stored.mainFont = options.mainFont();
    stored.scriptPrefix = options.scriptPrefix();
    stored.smartKey = options.smartKeyNaming();
    stored.scriptsPath = stored.smartKey.path; // one folder box for both scripts shows the Smart Key folder
    stored.smartFlow = options.smartFlowNaming();
    stored.workbook = options.workbookNaming();
    for (const QString& task : options.groupTasks()) {
        if (groupTaskBoxNames().contains(task) && !stored.tickedTasks.contains(task))
            stored.tickedTasks.append(task);
    }
    return stored;
}

} // namespace tarvex
