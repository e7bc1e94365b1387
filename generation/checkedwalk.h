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
// the findings that concern the script written.
ScriptFindings walkChecked(RegisterStore& data, int count, AirlineSink& writer, const CheckSettings& settings,
                           FindingScript written, RunObserver& observer);

// Ends a Smart Key run with a GenerationError listing its errors, one finding per line,
// when there is any: the file is then not put in place and the previous one stays.
void refuseBrokenSmartKey(const ScriptFindings& findings);

// Every finding of the register, for both scripts with remarks, in code order.
ScriptFindings checkRegister(RegisterStore& data, const Options& options);

} // namespace tarvex
