#pragma once

#include "generation/runobserver.h"

#include <QStringList>

namespace tarvex::testing {

// Records what a generation run tells its observer: "started" and "ended", and the last
// share of airlines done.
struct RecordingObserver : RunObserver {
    QStringList events;
    int lastShare = -1;
    void runStarted() override { events << QStringLiteral("started"); }
    bool showsProgress() const override { return true; }
    void progressChanged(int percent) override { lastShare = percent; }
    void runEnded() override { events << QStringLiteral("ended"); }
};

} // namespace tarvex::testing
