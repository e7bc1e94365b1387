#pragma once

#include "scriptcheck.h"

#include <QString>
#include <QStringList>

namespace tarvex {

// How a generation run reaches the user: the progress window implements it in the
// desktop program, the command-line tool and the tests provide their own.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // Writing starts: the progress window shows with its buttons disabled.
    virtual void runStarted() {}
    // The share of airlines done, 0 to 100.
    virtual void progressChanged(int percent) { (void)percent; }
    // A script is checked and will be written: its findings, empty when there are none.
    // Comes before runFinished, so the completion dialog can list them.
    virtual void scriptChecked(const ScriptFindings& findings) { (void)findings; }
    // The file is written, with something the user should know about it (a text cut to fit a
    // workbook cell), one line each. Comes before runFinished, so the completion dialog can list it.
    virtual void outputWarned(const QStringList& warnings) { (void)warnings; }
    // The file is complete. Outside "Create all" the completion dialog follows.
    virtual void runFinished(const QString& filePath, bool startedByCreateAll) {
        (void)filePath;
        (void)startedByCreateAll;
    }
    // The run ended without a file; the progress window, if shown, goes away.
    virtual void runAbandoned() {}
};

// The percentage of a walk over `count` airlines once `done` of them are processed.
int shareDone(int done, int count);

} // namespace tarvex
