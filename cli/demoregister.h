#pragma once

namespace tarvex {

class RegisterStore;

// Fills an empty register with a small sample of airlines and their conditions, for
// trying the program out.
void addDemoRegister(RegisterStore& store);

} // namespace tarvex
