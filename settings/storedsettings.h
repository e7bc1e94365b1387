#pragma once

#include "options.h"

namespace tarvex {

// What the settings window shows when it opens: every key it saves, each read with its default, and the tasks of
// section group that name one of its task check boxes. Values naming no check box are left out.
SavedSettings readStoredSettings(const Options& options);

} // namespace tarvex
