#pragma once

#include "common/serveraddress.h"
#include "common/tarvexerror.h"

#include <optional>

namespace tarvex {

// The engine's refusal of a statement, as it reported it.
struct EngineRefusal {
    int resultCode = 0; // SQLite's result code, possibly an extended one
    QString engineText; // the engine's own words, for support staff
    RegisterEngine engine = RegisterEngine::Sqlite;
    // The server's SQLSTATE ("42501"); empty when the refusal came from the client, as when the
    // connection was lost.
    QString sqlState;
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

    // What the engine said, when the failure is its refusal.
    const std::optional<EngineRefusal>& refusal() const { return m_refusal; }

private:
    std::optional<EngineRefusal> m_refusal;
};

} // namespace tarvex
