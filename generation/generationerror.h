#pragma once

#include "common/tarvexerror.h"

namespace tarvex {

// A run that cannot go on: its output cannot be created or written.
class GenerationError : public TarvexError {
public:
    using TarvexError::TarvexError;
};

} // namespace tarvex
