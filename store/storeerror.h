#pragma once

#include <QString>

#include <stdexcept>

namespace tarvex {

// A failure of the register: the database cannot be opened, a statement fails, or a
// row breaks a column's width or range. The message is meant for the user as it is.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}

    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace tarvex
