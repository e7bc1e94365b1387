#pragma once

#include <QValidator>

namespace tarvex {

// Shows and keeps the letters of a box as capitals, typed or pasted.
class UpperCaseValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

} // namespace tarvex
