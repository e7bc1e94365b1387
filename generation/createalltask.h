#pragma once

#include <QStringView>

#include <optional>

namespace tarvex {

enum class OutputKind { SmartKey, SmartFlow, Workbook, AirlineList };

// One line of section group: which output it makes and with which flag (remarks for
// the scripts, fees for the workbook).
struct CreateAllTask {
    OutputKind kind;
    bool flag = false;
};

// Decodes a task by position, as "Create all" always has: characters 3 and 4 choose
// the output (SF, SK, XL, CS; exact case), characters 5 to 7 equal to "rmk" set the
// flag. Any other pair selects nothing.
std::optional<CreateAllTask> decodeCreateAllTask(QStringView value);

} // namespace tarvex
