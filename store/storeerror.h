#pragma once

#include "common/tarvexerror.h"

namespace tarvex {

// The register failed: the database cannot be opened, a statement fails, or a row
// breaks a column's width or range.
class StoreError : public TarvexError {
public:
    using TarvexError::TarvexError;
};

} // namespace tarvex
