#pragma once

#include "generation/runobserver.h"

namespace tarvex {

struct RunResult;

// The progress window as the main window sees it: it follows a run while it writes and,
// once a command's run has returned with its file, shows what was written.
class RunDisplay : public RunObserver {
public:
    // The completion dialog for a written file, with the script's findings or the file's
    // warnings; returns when the user closes it.
    virtual void showWritten(const RunResult& result) = 0;
};

} // namespace tarvex
