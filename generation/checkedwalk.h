#pragma once

#include "scriptcheck.h"

namespace tarvex {

class AirlineSink;
class Options;
class RegisterStore;
class RunObserver;

// The settings a script is checked with: the prefix and rough rates of options.ini.
CheckSettings checkSettingsFrom(const Options& options, bool withRemarks);

// Walks the airlines once into a script writer and the check together and returns
// the findings that concern the script written, errors first.
ScriptFindings walkChecked(RegisterStore& data, int count, AirlineSink& writer, const CheckSettings& settings,
                           FindingScript written, RunObserver& observer);

// Every finding of the register, for both scripts with remarks and the CSV list: errors
// first, each kind in code order.
ScriptFindings checkRegister(RegisterStore& data, const Options& options);

} // namespace tarvex
