#pragma once

#include "common/tarvexerror.h"

#include <optional>

namespace tarvex {

// SQLite's refusal of a statement, as the engine reported it.
struct EngineRefusal {
    int resultCode = 0; // SQLite's result code, possibly an extended one
    QString engineText; // SQLite's own words, for support staff
};

// The register failed: the database cannot be opened, a statement fails, or a row
// breaks a column's width or range.
class StoreError : public TarvexError {
public:
    using TarvexError::TarvexError;
    // A failure the engine refused; the message says it in the user's words.
    StoreError(const QString& message, EngineRefusal refusal)
        : TarvexError(message)
        , m_refusal(std::move(refusal)) {}

    // What SQLite said, when the failure is its refusal.
    const std::optional<EngineRefusal>& refusal() const { return m_refusal; }

private:
    std::optional<EngineRefusal> m_refusal;
};

} // namespace tarvex
