#pragma once

#include <QString>

namespace tarvex {

// The app folder holds options.ini, DB/Tarvex.mdb, Files/ and the help page. Both the
// desktop program and tarvex-cli name it the same way: absolute, with a trailing "/".
QString appFolder(const QString& directory);

// The folder of the running executable, as an app folder.
QString executableAppFolder();

} // namespace tarvex
