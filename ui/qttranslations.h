#pragma once

class QCoreApplication;

namespace tarvex {

// Loads Qt's own Russian texts (the folder chooser, the standard buttons, the text boxes' context
// menus) from the folder Qt keeps its translations in, whatever the system's language: the program
// speaks Russian throughout. Returns false when the translation is not installed there.
bool installQtRussian(QCoreApplication& application);

} // namespace tarvex
