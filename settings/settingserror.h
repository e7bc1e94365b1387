#pragma once

#include "common/tarvexerror.h"

namespace tarvex {

// The settings file exists but cannot be read, so its values are not known; defaults would hide that.
class SettingsError : public TarvexError {
public:
    using TarvexError::TarvexError;
};

} // namespace tarvex
