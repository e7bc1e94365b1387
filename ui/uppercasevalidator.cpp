#include "uppercasevalidator.h"

#include <algorithm>

namespace tarvex {

QValidator::State UpperCaseValidator::validate(QString& input, int& position) const {
    input = input.toUpper(); // a few letters grow (ß gives SS)
    position = std::min(position, int(input.size()));
    return Acceptable;
}

} // namespace tarvex
