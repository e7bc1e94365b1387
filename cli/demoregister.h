#pragma once

namespace tarvex {

class TDataModule1;

// Fills an empty register with a small sample of airlines and their conditions, for
// trying the program out.
void addDemoRegister(TDataModule1& data);

} // namespace tarvex
