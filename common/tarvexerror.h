#pragma once

#include <QString>

#include <stdexcept>

namespace tarvex {

// A failure the user is told about: the message is meant for them as it is.
class TarvexError : public std::runtime_error {
public:
    explicit TarvexError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}

    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace tarvex
