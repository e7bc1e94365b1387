#pragma once

namespace tarvex {

// How a generation run shows that it is under way: the progress window in the desktop
// program; the command-line tool and the tests provide their own. What the run wrote, or
// why it wrote nothing, is its result, which the caller shows once the run has returned.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // Writing starts.
    virtual void runStarted() {}
    // Whether it shows the share of airlines done: a walk counts the airlines first only for
    // an observer that shows it, as the count costs the register a pass of its own.
    virtual bool showsProgress() const { return false; }
    // The share of airlines done, 0 to 100.
    virtual void progressChanged(int percent) { (void)percent; }
    // Writing is over, whether the file was written or not.
    virtual void runEnded() {}
};

// The percentage of a walk over `count` airlines once `done` of them are processed.
int shareDone(int done, int count);

} // namespace tarvex
