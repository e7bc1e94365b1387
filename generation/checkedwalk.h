#pragma once

#include "scriptcheck.h"

namespace tarvex {

class AirlineSink;
class Options;
class RegisterStore;
class RunObserver;

// The settings a script written as of a day is checked with: the prefix and rough rates
// of options.ini.
CheckSettings checkSettingsFrom(const Options& options, bool withRemarks, QDate onDay);

// Walks the airlines once into the sink of a script and the check together and hands
// the findings that concern the script written to `receiver`, in the order they are
// found. Returns whether any of them is an error. The script gets the conditions in force
// on the settings' day only.
bool walkChecked(RegisterStore& store, AirlineSink& script, const CheckSettings& settings, FindingScript written,
                 FindingReceiver& receiver, RunObserver& observer);

// Every finding of the register, for both scripts written with remarks as of the day and
// the CSV list: errors first, each kind in code order.
ScriptFindings checkRegister(RegisterStore& store, const Options& options, QDate onDay);

} // namespace tarvex
